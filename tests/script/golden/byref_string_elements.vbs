' An element of a String array (what Split returns) passed by reference is
' the element itself: what the procedure stores there becomes text.
Dim parts
parts = Split("a,b,c", ",")
Sub SetNumber(v)
  v = 42
End Sub
SetNumber parts(1)
WScript.Echo Join(parts, "-"), TypeName(parts(1)), TypeName(parts)
' The procedure sees the element, not a copy of it.
Sub Exclaim(v)
  parts(2) = "changed"
  v = v & "!"
End Sub
Exclaim parts(2)
WScript.Echo Join(parts, "-")
' In parentheses, or ByVal, it is still a copy.
SetNumber (parts(0))
Sub SetByVal(ByVal v)
  v = 7
End Sub
SetByVal parts(0)
WScript.Echo Join(parts, "-")
' While referenced the array cannot be resized.
Sub Resize(v)
  On Error Resume Next
  ReDim parts(5)
  WScript.Echo "ReDim:", Err.Number
  v = True
End Sub
Resize parts(0)
WScript.Echo Join(parts, "-"), UBound(parts)
' What cannot be text is an error where the call was made.
Sub SetNull(v)
  v = Null
End Sub
Class Thing
End Class
Sub SetObject(v)
  Set v = New Thing
End Sub
On Error Resume Next
SetNull parts(1)
WScript.Echo Err.Number, TypeName(parts(1)), "[" & parts(1) & "]"
Err.Clear
SetObject parts(1)
WScript.Echo Err.Number, TypeName(parts(1))
Err.Clear
On Error GoTo 0
' A Variant array's element keeps what the procedure stores.
Dim mixed
mixed = Array("a", "b")
SetNumber mixed(0)
WScript.Echo TypeName(mixed(0)), mixed(0)
' Without a trap the error ends the run at the call.
SetNull parts(2)
WScript.Echo "not reached"
