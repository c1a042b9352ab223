' Execute runs in the scope it is called from: a Dim in code it runs inside
' a procedure declares a variable of that call, not a global.
Sub Declare()
  Execute "Dim secret: secret = 42"
  WScript.Echo Eval("secret")
  Execute "secret = secret + 1"
  WScript.Echo Eval("secret * 2")
  Execute "Dim grid(2): grid(1) = ""mid"""
  WScript.Echo Eval("UBound(grid)"), Eval("grid(1)")
End Sub
Declare
WScript.Echo "global secret empty:", IsEmpty(secret)
' Each call starts without the variables the last one declared.
Function Fresh()
  Execute "Dim n: n = n + 1"
  Fresh = Eval("n")
End Function
WScript.Echo Fresh(), Fresh()
' Passed by reference, the executed variable is written back.
Sub Twice(ByRef v)
  v = v * 2
End Sub
Sub ByReference()
  Execute "Dim w: w = 21: Twice w"
  WScript.Echo Eval("w")
End Sub
ByReference
' A class method has its own scope too.
Class Box
  Public Function Run()
    Execute "Dim inside: inside = ""boxed"""
    Run = Eval("inside")
  End Function
End Class
Dim b: Set b = New Box
WScript.Echo b.Run(), IsEmpty(inside)
' ExecuteGlobal from a procedure, and Execute at the top level, make globals.
Sub MakeGlobal()
  ExecuteGlobal "Dim shared: shared = ""everywhere"""
End Sub
MakeGlobal
WScript.Echo shared
Execute "Dim topLevel: topLevel = 7"
WScript.Echo topLevel
