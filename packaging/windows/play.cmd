@echo off
rem Plays gravemoor in this window: takes the seed from its argument or asks
rem for it, runs the game, which asks for the fighter's name, and keeps the
rem window open until a key is pressed. Double-click it, or run it from a
rem console: play.cmd, or play.cmd 42 to give the seed at once.
setlocal EnableExtensions DisableDelayedExpansion
set "seed=%~1"
if defined seed goto play
set /p "seed=Seed (a number; the same seed plays the same game): "
echo.
:play
rem The game is started from its own folder, entered before delayed
rem expansion is on: that would eat a "!" in the folder's path.
pushd "%~dp0"
setlocal EnableDelayedExpansion
rem Delayed expansion hands the seed over as typed, & or | included.
.\gravemoor.exe "!seed!"
set "status=!errorlevel!"
popd
echo.
pause
exit /b %status%
