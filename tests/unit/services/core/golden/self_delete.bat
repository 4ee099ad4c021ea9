@echo off
setlocal EnableExtensions DisableDelayedExpansion
set tries=0
:Repeat
DEL "C:\Program Files\Huepeek\huepeek.exe"
if not exist "C:\Program Files\Huepeek\huepeek.exe" goto Done
set /a tries+=1
if %tries% lss 60 (ping -n 2 127.0.0.1 >nul & goto Repeat)
:Done
DEL "%~f0" & exit
