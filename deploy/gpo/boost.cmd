@echo off
rem FerroWinder boost, machine part: a Group Policy computer start-up script.
rem
rem It runs as the local system account at every start of the PC. Keep it on
rem the share beside ferrowinder-cli.exe (for example
rem \\fileserver\deploy\FerroWinder\), and add it under Computer Configuration >
rem Policies > Windows Settings > Scripts (Startup/Shutdown) > Startup.
rem
rem It copies ferrowinder-cli.exe from its own folder to this PC, then writes
rem the values under HKEY_LOCAL_MACHINE unless the PC already holds them. The
rem values under HKEY_CURRENT_USER belong to each user: boost-user.cmd, a
rem logon script, writes them. What it did goes to
rem %ProgramData%\FerroWinder\boost.log; it exits non-zero when it failed.
rem
rem Use the same speed in boost-user.cmd.
setlocal
set "SPEED=1024"
set "FROM=%~dp0"
set "DIR=%ProgramFiles%\FerroWinder"
set "CLI=%DIR%\ferrowinder-cli.exe"
set "LOGDIR=%ProgramData%\FerroWinder"
set "LOG=%LOGDIR%\boost.log"

if not exist "%LOGDIR%\" mkdir "%LOGDIR%"
if not exist "%DIR%\" mkdir "%DIR%"
call :log start: the machine part at %SPEED% Kbps, from %FROM%

rem The program keeps its backup beside itself, so every PC runs its own
rem copy. At start-up the network may not be up yet: then the copy made at
rem an earlier start is used, if there is one.
copy /y "%FROM%ferrowinder-cli.exe" "%CLI%" >>"%LOG%" 2>&1
if errorlevel 1 goto copy_failed
goto check

:copy_failed
if exist "%CLI%" goto copy_failed_but_here
call :log failed: ferrowinder-cli.exe could not be copied from %FROM% and no earlier copy is on this PC
exit /b 3
:copy_failed_but_here
call :log ferrowinder-cli.exe could not be copied from %FROM%: using the copy from an earlier start

rem Exit codes: 0 holds, 1 differs, 2 bad usage, 3 registry failure. Wine's
rem cmd does not honour them in a || b, so each is tested on its own line.
:check
"%CLI%" check --speed %SPEED% --part machine >>"%LOG%" 2>&1
if errorlevel 2 goto failed
if errorlevel 1 goto apply
call :log done: the PC already holds the machine part, nothing was written
exit /b 0

:apply
"%CLI%" apply --speed %SPEED% --part machine >>"%LOG%" 2>&1
if errorlevel 1 goto failed
call :log done: the machine part was applied
exit /b 0

:failed
set "CODE=%ERRORLEVEL%"
call :log failed: ferrowinder-cli exited with %CODE%, see its messages above
exit /b %CODE%

:log
echo %DATE% %TIME% %*>>"%LOG%"
exit /b 0
