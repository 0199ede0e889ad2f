# FerroWinder remediation script for Intune Remediations: applies the boost.
#
# Exit 0: applied; exit 1: it failed, or the program is missing. Intune shows
# the last line a script prints, so the summary comes last. Set up as
# detect.ps1 says: run as the system account it writes the values under
# HKEY_LOCAL_MACHINE (and keeps the backup that "ferrowinder-cli.exe restore"
# puts back); run with the logged-on credentials it writes that user's values
# under HKEY_CURRENT_USER. Use the same speed as in detect.ps1.
$speed = 1024
$cli = Join-Path $env:ProgramFiles 'FerroWinder\ferrowinder-cli.exe'
$part = if ([Security.Principal.WindowsIdentity]::GetCurrent().IsSystem) { 'machine' } else { 'user' }

if (-not (Test-Path -LiteralPath $cli -PathType Leaf)) {
    Write-Output "Failed: $cli is missing, so nothing was applied."
    exit 1
}

try {
    $output = & $cli apply --speed $speed --part $part 2>&1
    $code = $LASTEXITCODE
} catch {
    Write-Output "Failed: ferrowinder-cli.exe could not be run: $($_.Exception.Message)"
    exit 1
}
# apply prints its summary last; a failure ends with its reason on standard
# error. Exit codes: 0 done, 2 bad usage, 3 the registry could not be written.
$output | ForEach-Object { Write-Output "$_" }
if ($code -eq 0) { exit 0 }
Write-Output "Failed: ferrowinder-cli.exe apply exited with $code."
exit 1
