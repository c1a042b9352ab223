' Math functions and the random number generator.
WScript.Echo Sqr(16) & " " & Exp(0) & " " & Log(1) & " " & Atn(0) & " " & Cos(0) & " " & Sin(0) & " " & Tan(0)
WScript.Echo Round(4 * Atn(1), 10) & " " & Round(Exp(1), 6) & " " & Round(Log(10), 6) & " " & Sqr(2)
WScript.Echo Rnd(-1) & " " & Rnd(0) & " " & Rnd(-1)
r1 = Rnd
r2 = Rnd
x = Rnd(-1)
WScript.Echo (Rnd = r1) & " " & (Rnd = r2)
x = Rnd(-3)
Randomize 7
a = Rnd
x = Rnd(-3)
Randomize 7
b = Rnd
WScript.Echo (a = b) & " " & (a >= 0 And a < 1) & " " & TypeName(a)
WScript.Echo RGB(255, 0, 0) & " " & RGB(0, 255, 0) & " " & RGB(300, 0, 128) & " " & vbBlue & " " & vbWhite
WScript.Echo ScriptEngine & " " & ScriptEngineMajorVersion & "." & ScriptEngineMinorVersion
On Error Resume Next
x = Sqr(-1)
WScript.Echo "Sqr -1: " & Err.Number
Err.Clear
x = Log(0)
WScript.Echo "Log 0: " & Err.Number
Err.Clear
x = Exp(1000)
WScript.Echo "Exp 1000: " & Err.Number
Err.Clear
x = RGB(-1, 0, 0)
WScript.Echo "RGB -1: " & Err.Number
