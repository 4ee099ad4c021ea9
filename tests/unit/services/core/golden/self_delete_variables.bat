@echo off
setlocal EnableExtensions DisableDelayedExpansion
set tries=0
:Repeat
DEL "%HUEPEEK_UNINSTALL_EXE%"
if not exist "%HUEPEEK_UNINSTALL_EXE%" goto Done
set /a tries+=1
if %tries% lss 60 (ping -n 2 127.0.0.1 >nul & goto Repeat)
:Done
if not exist "%HUEPEEK_UNINSTALL_EXE%" DEL "%HUEPEEK_UNINSTALL_SETTINGS%"
DEL "%~f0" & exit
