@echo off
rem Writes the IFO report for Ravlo3 with ifoscan.exe from this folder.
rem Arguments: "DVD TOOL PATH" "IFO PATH" "REPORT PATH"; the DVD tool is not needed.
rem Ravlo3 also puts the IFO path into RAVLO3_IFO, which reaches ifoscan untouched by cmd.
rem ifoscan's reason for writing no report goes beside the report, for Ravlo3 to show.
"%~dp0ifoscan.exe" --ifo-from RAVLO3_IFO "%~2" "%~3" 2> "%~dpn3.err"
exit /b %ERRORLEVEL%
