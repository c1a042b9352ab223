WScript.Echo "quitting"
WScript.Quit 3
WScript.Echo "not reached"
