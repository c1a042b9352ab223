' Sub, Function, ByRef/ByVal, Call, parentheses, Exit, recursion.
Later
Sub AddOne(n)
  n = n + 1
End Sub
Sub AddOneByVal(ByVal n)
  n = n + 1
End Sub
Function Square(x)
  Square = x * x
End Function
Function Early(x)
  Early = "start"
  If x > 0 Then Exit Function
  Early = "end"
End Function
Sub Noisy()
  WScript.Echo "noisy"
  Exit Sub
  WScript.Echo "never"
End Sub
Dim v: v = 1
AddOne v
WScript.Echo v
AddOne (v)
WScript.Echo v
Call AddOne(v)
WScript.Echo v
AddOneByVal v
WScript.Echo v
Dim arr(2): arr(1) = 5
AddOne arr(1)
WScript.Echo arr(1)
WScript.Echo Square(7), Square(1.5), Early(1), Early(0)
Noisy
Call Noisy
Noisy()
Function Fib(n)
  If n < 2 Then
    Fib = n
  Else
    Fib = Fib(n - 1) + Fib(n - 2)
  End If
End Function
WScript.Echo Fib(20)
Function NoArgs
  NoArgs = "called"
End Function
WScript.Echo NoArgs, NoArgs()
Sub Swap(a, b)
  Dim t: t = a: a = b: b = t
End Sub
Dim p, q: p = "p": q = "q"
Swap p, q
WScript.Echo p, q
Function Implicit()
  localOnly = 42
  Implicit = localOnly
End Function
WScript.Echo Implicit(), IsEmpty(localOnly)
Dim g: g = "global"
Sub SeeGlobal()
  WScript.Echo g
  g = "changed"
End Sub
SeeGlobal
WScript.Echo g
Function Twice(ByRef x)
  x = x * 2
  Twice = x
End Function
Dim w: w = 3
WScript.Echo Twice((w)), w
WScript.Echo Twice(w), w
On Error Resume Next
Square 1, 2
WScript.Echo Err.Number, Err.Description
Err.Clear
UndefinedThing 1
WScript.Echo Err.Number
On Error GoTo 0
Sub Later()
  WScript.Echo "defined after use"
End Sub
