# FerroWinder leftovers detection for Intune Remediations.
#
# Exit 0: no setting left by old tuning limits networking on this PC; exit 1:
# one does, or it could not be checked (then Intune runs the remediation, for
# which `ferrowinder-cli.exe leftovers --fix` is the script's one line). Intune
# shows the last line a script prints, so the summary comes last.
#
# Upload it with "Run script in 64-bit PowerShell" set to Yes and "Run this
# script using the logged-on credentials" set to No: the settings are the
# machine's. It expects ferrowinder-cli.exe in C:\Program Files\FerroWinder\.
$cli = Join-Path $env:ProgramFiles 'FerroWinder\ferrowinder-cli.exe'

# Without the program nothing can be checked.
if (-not (Test-Path -LiteralPath $cli -PathType Leaf)) {
    Write-Output "Not compliant: $cli is missing."
    exit 1
}

try {
    $output = & $cli leftovers --format json 2>&1
    $code = $LASTEXITCODE
} catch {
    Write-Output "Not compliant: ferrowinder-cli.exe could not be run: $($_.Exception.Message)"
    exit 1
}
# Exit codes: 0 nothing harmful, 1 something harmful, 2 bad usage, 3 a setting
# this Windows should have could not be read (the JSON says which).
$errors = @($output | Where-Object { $_ -is [System.Management.Automation.ErrorRecord] })
if ($code -ne 0 -and $code -ne 1 -and $code -ne 3) {
    $errors | ForEach-Object { Write-Output "$_" }
    Write-Output "Not compliant: ferrowinder-cli.exe leftovers failed with exit code $code."
    exit 1
}
$result = ($output | Where-Object { $_ -isnot [System.Management.Automation.ErrorRecord] }) -join "`n" |
    ConvertFrom-Json
foreach ($row in $result.rows) {
    if ($row.harmful) {
        Write-Output "$($row.name) is $($row.now): $($row.effect)"
        if ($row.remedy) { Write-Output "  to put it right: $($row.remedy)" }
    } elseif ($row.verdict -eq 'could not be read') {
        Write-Output "$($row.name) could not be read: $($row.note)"
    }
}
Write-Output $result.summary
if ($code -eq 0) { exit 0 } else { exit 1 }
