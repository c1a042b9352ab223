' Arrays held in array elements are written in place, at any depth.
Dim a, keep
keep = Array(1, 2, 3)
a = Array(keep, Array("x", Array(7, 8)))
a(0)(1) = 20
a(1)(1)(0) = 70
WScript.Echo a(0)(1), a(1)(1)(0), a(1)(1)(1)
' Arrays are values: the array copied into a(0) is not the one in keep.
WScript.Echo keep(1)
Dim b: b = a
b(0)(2) = 30
WScript.Echo a(0)(2), b(0)(2)
' A fixed array whose elements hold arrays, in a procedure's local.
Sub Fill()
  Dim grid(1), i
  For i = 0 To 1
    grid(i) = Array(0, 0)
  Next
  grid(1)(0) = "r1c0"
  WScript.Echo grid(1)(0), grid(0)(0)
End Sub
Fill
' A subscript that reassigns the variable: the write goes to the new value.
Dim c
Function Swap()
  c = Array(Array("new0", "new1"))
  Swap = 1
End Function
c = Array(Array("old0", "old1"))
c(0)(Swap()) = "written"
WScript.Echo c(0)(0), c(0)(1)
' An object in an array element: assigned through its default member.
Dim d: Set d = CreateObject("Scripting.Dictionary")
Dim holder: holder = Array(d)
holder(0)("k") = "v"
WScript.Echo d("k")
On Error Resume Next
Dim n: n = Array(5)
n(0)(1) = 2
WScript.Echo Err.Number, Err.Description
Err.Clear
a(0)(9) = 1
WScript.Echo Err.Number, Err.Description
