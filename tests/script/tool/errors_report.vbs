WScript.Echo "before", WScript.Arguments(0), WScript.Arguments.Count
Dim x
x = 1
x = x / 0
WScript.Echo "not reached"
