@echo off
rem Plays gravemoor in this window: asks for the seed, runs the game, which
rem asks for the fighter's name, and keeps the window open until a key is
rem pressed. Double-click it, or run it from a console.
setlocal EnableExtensions EnableDelayedExpansion
set "seed="
set /p "seed=Seed (a number; the same seed plays the same game): "
echo.
rem Delayed expansion hands the seed over as typed, & or | included.
"%~dp0gravemoor.exe" "!seed!"
set "status=!errorlevel!"
echo.
pause
exit /b %status%
