' Split and Filter return String arrays: their elements stay Strings.
Dim s: s = Split("a,b,c", ",")
WScript.Echo TypeName(s), VarType(s), TypeName(s(0))
Dim f: f = Filter(Array(1, 12, 3), "1")
WScript.Echo TypeName(f), VarType(f), Join(f, "+"), TypeName(f(1))
WScript.Echo TypeName(Split("")), UBound(Split(""))
' What is stored into an element is converted to text.
s(0) = 42
s(1) = True
s(2) = Empty
WScript.Echo TypeName(s(0)), s(0), TypeName(s(1)), s(1), TypeName(s(2)), Len(s(2))
Dim d: d = 1.5
s(0) = d
WScript.Echo TypeName(s(0)), s(0)
' A copy is still a String array, and a copy of its own.
Dim t: t = s
t(0) = 7
WScript.Echo TypeName(t), TypeName(t(0)), s(0)
' ReDim Preserve keeps the element type; new elements are empty texts.
ReDim Preserve s(4)
WScript.Echo TypeName(s), TypeName(s(4)), "[" & s(4) & "]", s(0)
' ReDim without Preserve makes a fresh Variant array.
ReDim s(1)
WScript.Echo TypeName(s), IsEmpty(s(0))
' The elements a For Each walks are Strings.
Dim x
For Each x In Split("1 2")
  WScript.Echo TypeName(x), x + 1
Next
' A String array passed by reference to a procedure stays typed.
Sub Store(arr)
  arr(0) = 99
End Sub
Dim u: u = Split("p q")
Store u
WScript.Echo TypeName(u(0)), u(0)
' An element passed by reference is the element itself; what the procedure
' stores there becomes text, and the array keeps its String.
Sub Bump(v)
  v = 5
End Sub
Bump u(1)
WScript.Echo TypeName(u(1)), u(1)
' A String array held in a class field.
Class Holder
  Public Items
End Class
Dim h: Set h = New Holder
h.Items = Split("m n")
h.Items(1) = 3
WScript.Echo TypeName(h.Items), TypeName(h.Items(1))
On Error Resume Next
u(0) = Null
WScript.Echo Err.Number, Err.Description, u(0)
Err.Clear
Set u(0) = h
WScript.Echo Err.Number, Err.Description
