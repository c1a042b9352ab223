Option Explicit
' ReDim declares the array it sizes when no variable has that name, even
' under Option Explicit; a fixed-size array refuses ReDim before the bounds
' are read, while ReDim Preserve reads them first.
ReDim fresh(2)
fresh(2) = "top level"
WScript.Echo UBound(fresh), fresh(2)
Sub Local
  ReDim inside(1)
  inside(1) = "local to the Sub"
  WScript.Echo UBound(inside), inside(1)
End Sub
Local
Dim shared()
Sub Grow
  ReDim Preserve shared(3)
  shared(3) = "the global, not a new local"
End Sub
Grow
WScript.Echo UBound(shared), shared(3)
Class Holder
  Private items()
  Public Function Size()
    ReDim items(4)
    Size = UBound(items)
  End Function
End Class
Dim h: Set h = New Holder
WScript.Echo "a class field:", h.Size()

On Error Resume Next
Dim fixed(3), dynamic
ReDim fixed("abc")
WScript.Echo "ReDim of a fixed array:", Err.Number
Err.Clear
ReDim Preserve fixed("abc")
WScript.Echo "ReDim Preserve reads the bound first:", Err.Number
Err.Clear
ReDim Preserve fixed(5)
WScript.Echo "and then refuses:", Err.Number
Err.Clear
dynamic = Array(1)
ReDim dynamic("abc")
WScript.Echo "a bound that is no number:", Err.Number, UBound(dynamic)
Err.Clear
undeclared = 1
WScript.Echo "still no undeclared variables:", Err.Number
