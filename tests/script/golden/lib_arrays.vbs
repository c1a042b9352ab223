' Array, LBound and UBound, including several dimensions and bad dimensions.
Dim grid(2, 4)
WScript.Echo LBound(grid) & " " & UBound(grid) & " " & UBound(grid, 2) & " " & LBound(grid, 2)
a = Array(1, "two", 3.5)
WScript.Echo UBound(a) & " " & TypeName(a) & " " & a(1) & " " & IsArray(a) & " " & TypeName(a(2))
e = Array()
WScript.Echo UBound(e) & " " & LBound(e) & " [" & Join(e, ",") & "]"
ReDim dyn(5)
dyn(5) = "last"
WScript.Echo UBound(dyn) & " " & dyn(UBound(dyn))
nested = Array(Array(1, 2), Array(3, 4, 5))
WScript.Echo UBound(nested(1)) & " " & nested(1)(2)
On Error Resume Next
x = UBound(grid, 3)
WScript.Echo "UBound dim 3: " & Err.Number
Err.Clear
x = UBound(5)
WScript.Echo "UBound of a number: " & Err.Number
Err.Clear
x = LBound(grid, 0)
WScript.Echo "LBound dim 0: " & Err.Number
