@ECHO OFF
REM Checks that every outside tool lies in the versioned folder Ravlo3 expects it in.
REM xt.txt is written only when nothing is missing; until then Ravlo3 starts this
REM script at every start-up, so the user keeps being told what is still missing.
SETLOCAL
CD /D "%~dp0"
SET MISSING=0

CALL :Check vStrip_08f vStrip.exe
CALL :Check rarx360 rar32.exe
CALL :Check BeSweetv1.5b31 BeSweet.exe
CALL :Check dgmpgdec148 DGIndex.exe
CALL :Check dgmpgdec148 DGDecode.dll
CALL :Check AutoCrop11 AutoCrop.dll
CALL :Check decomb410b4 Decomb.dll
CALL :Check avs2avi-139 avs2avi.exe
CALL :Check mpc2kxp6482 mplayerc.exe
CALL :Check gsar112 gsar.exe

IF "%MISSING%"=="0" GOTO AllThere
ECHO.
ECHO Put each missing file into the named folder inside
ECHO %~dp0
ECHO and start Ravlo3 again. This check runs at every start until nothing is missing.
PAUSE
GOTO :EOF

:AllThere
ECHO All ten tools are in place.> xt.txt
ECHO All ten tools are in place.
GOTO :EOF

REM %1 = versioned folder, %2 = file that must be in it
:Check
IF EXIST "%1\%2" GOTO :EOF
ECHO Missing: %2 - it belongs in the folder %1
SET MISSING=1
GOTO :EOF
