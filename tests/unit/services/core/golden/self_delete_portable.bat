@echo off
setlocal EnableExtensions DisableDelayedExpansion
set tries=0
:Repeat
DEL "D:\100%% Tools\%%TEMP%%\picker.exe"
if not exist "D:\100%% Tools\%%TEMP%%\picker.exe" goto Done
set /a tries+=1
if %tries% lss 60 (ping -n 2 127.0.0.1 >nul & goto Repeat)
:Done
if not exist "D:\100%% Tools\%%TEMP%%\picker.exe" DEL "D:\100%% Tools\%%TEMP%%\picker.ini"
DEL "%~f0" & exit
