' Eval, Execute, ExecuteGlobal and GetRef.
Dim total: total = 5
WScript.Echo Eval("total * 2"), Eval("total = 5"), TypeName(Eval("1.5"))
Execute "total = total + 1"
WScript.Echo total
ExecuteGlobal "Function Triple(x) : Triple = 3 * x : End Function"
WScript.Echo Triple(4)
Function Scale(v)
  Dim factor: factor = 10
  Scale = Eval("v * factor")
  Execute "factor = factor + 1"
  Scale = Scale + factor
End Function
WScript.Echo Scale(2)
Function Apply(f, x)
  Apply = f(x)
End Function
Dim ref: Set ref = GetRef("Triple")
WScript.Echo Apply(ref, 7), TypeName(ref)
Execute "Sub Greet(n) : WScript.Echo ""hi "" & n : End Sub"
Greet "there"
On Error Resume Next
Execute "x = "
WScript.Echo Err.Number, Err.Description
Err.Clear
WScript.Echo Eval("1 / 0")
WScript.Echo Err.Number
Err.Clear
Set ref = GetRef("NoSuchProcedure")
WScript.Echo Err.Number
' An element passed by reference to a call failing inside Eval: its array
' is locked only while the call runs.
Dim held()
ReDim held(3)
Function Fails(x) : x = 1 : Err.Raise 5 : End Function
Err.Clear
WScript.Echo Eval("Fails(held(1))")
WScript.Echo Err.Number, held(1)
Err.Clear
ReDim held(5)
WScript.Echo Err.Number, UBound(held)
