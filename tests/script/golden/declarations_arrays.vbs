' Dim, ReDim, Preserve, Erase, Const, multi-dimensional arrays.
Const Pi = 3.14, Greeting = "hi", Neg = -5
WScript.Echo Pi, Greeting, Neg, TypeName(Neg)
Dim a(3)
WScript.Echo UBound(a), LBound(a), TypeName(a), VarType(a)
a(0) = 10: a(3) = 40
WScript.Echo a(0) + a(3), IsEmpty(a(1))
Dim grid(2, 3)
Dim r, c
For r = 0 To 2
  For c = 0 To 3
    grid(r, c) = r * 10 + c
  Next
Next
WScript.Echo grid(2, 3), grid(1, 2), UBound(grid, 1), UBound(grid, 2)
Dim d()
ReDim d(2)
d(0) = "x": d(2) = "z"
ReDim Preserve d(4)
WScript.Echo UBound(d), d(0), d(2), IsEmpty(d(4))
ReDim d(1)
WScript.Echo IsEmpty(d(0))
Dim m()
ReDim m(1, 1)
m(1, 1) = "keep"
ReDim Preserve m(1, 3)
WScript.Echo m(1, 1), UBound(m, 2)
Dim b: b = a
b(0) = 99
WScript.Echo a(0), b(0)
Erase a
WScript.Echo UBound(a), IsEmpty(a(0))
Erase d
On Error Resume Next
WScript.Echo UBound(d)
WScript.Echo "after", Err.Number
Err.Clear
a(4) = 1
WScript.Echo Err.Number, Err.Description
Err.Clear
ReDim a(5)
WScript.Echo Err.Number, Err.Description
Err.Clear
ReDim Preserve m(2, 3)
WScript.Echo Err.Number
On Error GoTo 0
Dim nested(1)
nested(0) = Array(1, 2, 3)
WScript.Echo nested(0)(2), UBound(nested(0))
Dim x, y, z
x = 1: y = x: z = "s"
WScript.Echo x, y, z
For i = 1 To 2
  Dim kept(1)
  If i = 1 Then kept(0) = "first pass"
Next
WScript.Echo kept(0)
