@echo off
rem FerroWinder boost, user part: a Group Policy user logon script.
rem
rem It runs as each user at logon, without administrator rights, and writes
rem the boost's values under that user's HKEY_CURRENT_USER unless they are
rem there already. It uses the ferrowinder-cli.exe that the computer start-up
rem script boost.cmd copies to the PC. Add it under User Configuration >
rem Policies > Windows Settings > Scripts (Logon/Logoff) > Logon. What it did
rem goes to %LOCALAPPDATA%\FerroWinder\boost-user.log; it exits non-zero when
rem it failed.
rem
rem Use the same speed as in boost.cmd.
setlocal
set "SPEED=1024"
set "CLI=%ProgramFiles%\FerroWinder\ferrowinder-cli.exe"
set "LOGDIR=%LOCALAPPDATA%\FerroWinder"
set "LOG=%LOGDIR%\boost-user.log"

if not exist "%LOGDIR%\" mkdir "%LOGDIR%"
call :log start: the user part at %SPEED% Kbps for %USERNAME%
if exist "%CLI%" goto check
call :log failed: %CLI% is not on this PC yet (boost.cmd copies it at start-up)
exit /b 3

rem Exit codes: 0 holds, 1 differs, 2 bad usage, 3 registry failure, each
rem tested on its own line (Wine's cmd does not honour them in a || b).
:check
"%CLI%" check --speed %SPEED% --part user >>"%LOG%" 2>&1
if errorlevel 2 goto failed
if errorlevel 1 goto apply
call :log done: the user part is in place, nothing was written
exit /b 0

:apply
"%CLI%" apply --speed %SPEED% --part user >>"%LOG%" 2>&1
if errorlevel 1 goto failed
call :log done: the user part was applied
exit /b 0

:failed
set "CODE=%ERRORLEVEL%"
call :log failed: ferrowinder-cli exited with %CODE%, see its messages above
exit /b %CODE%

:log
echo %DATE% %TIME% %*>>"%LOG%"
exit /b 0
