' Functions whose body is one arithmetic expression over their parameters,
' called with every kind of argument: the same values, types and errors as
' any function, however the call is made.
Const Half = 2
Function Bonus(score)
  Bonus = (score - 10) \ Half
End Function
Function Mean3(a, b, c)
  Mean3 = (a + b + c) / 3
End Function
Function Scale(x, y)
  Scale = x * y
End Function
Function Wrap(n, size)
  Wrap = (n + size) Mod size
End Function

Function Show(v)
  Show = TypeName(v) & " " & v
End Function

Dim i, s, total
For i = 7 To 13 Step 3
  WScript.Echo "Bonus(" & i & "):", Show(Bonus(i))
Next
WScript.Echo "Mean3:", Show(Mean3(1, 2, 3)), Show(Mean3(1, 2, 4)), Show(Mean3(0.5, 1.5, 1))
s = 300
WScript.Echo "Scale:", Show(Scale(s, 100)), Show(Scale(s, s)), Show(Scale(CLng(65536), 65536))
s = CInt(182)
WScript.Echo "Integer until it does not fit:", Show(Scale(s, 180)), Show(Scale(s, s))
WScript.Echo "Wrap:", Wrap(-1, 8), Wrap(9, 8), Show(Wrap(CLng(5), 3))
s = "12"
WScript.Echo "Text and Empty arguments:", Show(Bonus(s)), Show(Scale(Empty, 3)), Show(Scale(True, 3))
WScript.Echo "Null:", Show(Scale(Null, 3))

Function Run()
  Dim k, m
  k = 20: m = 4
  Run = Bonus(k) & " " & Bonus(k + 2) & " " & Scale(k - m, m) & " " & Wrap(k, m + 1)
End Function
WScript.Echo "From locals:", Run()

total = 0
For i = 1 To 1000
  total = Wrap(total + Scale(i, 3), 997)
Next
WScript.Echo "In a loop:", total

On Error Resume Next
WScript.Echo "Wrap(1, 0):", Wrap(1, 0)
WScript.Echo "error", Err.Number, Err.Description
Err.Clear
s = 1E+308
WScript.Echo "Scale(1E+308, 10):", Scale(s, 10)
WScript.Echo "error", Err.Number, Err.Description
Err.Clear
s = 2147483647
WScript.Echo "Wrap of a Double:", Show(Wrap(s + 1.5, 4))
WScript.Echo "error", Err.Number, Err.Description
Err.Clear
On Error GoTo 0

' Made a function with a body to run, and back.
ExecuteGlobal "Function Scale(x, y): Scale = x & ""*"" & y: End Function"
WScript.Echo "Redefined:", Scale(2, 3)
ExecuteGlobal "Function Scale(x, y): Scale = x - y: End Function"
WScript.Echo "And again:", Scale(2, 3)
