@echo off
rem Writes the IFO report for Ravlo3 with ifoscan.exe from this folder.
rem Arguments: "DVD TOOL PATH" "IFO PATH" "REPORT PATH"; the DVD tool is not needed.
"%~dp0ifoscan.exe" "%~2" "%~3"
exit /b %ERRORLEVEL%
