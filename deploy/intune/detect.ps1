# FerroWinder detection script for Intune Remediations.
#
# Exit 0: the boost is in place; exit 1: it is not, or it could not be
# checked (then Intune runs remediate.ps1). Intune shows the last line a
# script prints, so the summary comes last.
#
# Upload this pair twice, with "Run script in 64-bit PowerShell" set to Yes:
# - with "Run this script using the logged-on credentials" set to No: it runs
#   as the system account and checks the values under HKEY_LOCAL_MACHINE;
# - with it set to Yes: it runs as each user and checks that user's values
#   under HKEY_CURRENT_USER.
# Both expect ferrowinder-cli.exe in C:\Program Files\FerroWinder\ (deployed,
# for example, as a Win32 app). Use the same speed in remediate.ps1.
$speed = 1024
$cli = Join-Path $env:ProgramFiles 'FerroWinder\ferrowinder-cli.exe'
$part = if ([Security.Principal.WindowsIdentity]::GetCurrent().IsSystem) { 'machine' } else { 'user' }

# Without the program there is nothing that could hold the boost.
if (-not (Test-Path -LiteralPath $cli -PathType Leaf)) {
    Write-Output "Not compliant: $cli is missing."
    exit 1
}

try {
    $output = & $cli check --speed $speed --part $part --format json 2>&1
    $code = $LASTEXITCODE
} catch {
    Write-Output "Not compliant: ferrowinder-cli.exe could not be run: $($_.Exception.Message)"
    exit 1
}
# Exit codes: 0 holds, 1 differs, 2 bad usage, 3 the registry could not be read.
$errors = @($output | Where-Object { $_ -is [System.Management.Automation.ErrorRecord] })
if ($code -ne 0 -and $code -ne 1) {
    $errors | ForEach-Object { Write-Output "$_" }
    Write-Output "Not compliant: ferrowinder-cli.exe check failed with exit code $code."
    exit 1
}
$result = ($output | Where-Object { $_ -isnot [System.Management.Automation.ErrorRecord] }) -join "`n" |
    ConvertFrom-Json
# The layout this script reads: typed data (a number for REG_DWORD, a string
# for REG_SZ, null when absent).
if ($result.format -ne 2) {
    Write-Output "Not compliant: ferrowinder-cli.exe wrote check's JSON in format $($result.format), not 2."
    exit 1
}
function Format-State($state) {
    if ($null -eq $state) { return 'absent' }
    return "$($state.data -join ', ') ($($state.type))"
}
foreach ($difference in $result.differences) {
    Write-Output "$($difference.path): now $(Format-State $difference.now), wanted $(Format-State $difference.wanted)"
}
Write-Output $result.summary
if ($code -eq 0) { exit 0 } else { exit 1 }
