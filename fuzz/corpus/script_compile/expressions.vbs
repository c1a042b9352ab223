' Operators, precedence, Variant subtypes, conversions and comparisons.
WScript.Echo 2 + 3 * 4, (2 + 3) * 4, 2 ^ 3 ^ 2, -2 ^ 2, 2 ^ -1, 10 - 2 - 3
WScript.Echo 7 / 2, 7 \ 2, -7 \ 2, 7 Mod 3, -7 Mod 3, 7.5 \ 2, 8.5 \ 2, 2.5 Mod 2
WScript.Echo 1 + 2 & 3 + 4, "a" & 1 + 2
WScript.Echo TypeName(1 + 1), TypeName(32767 + 1), TypeName(2147483647 + 1), TypeName(200 * 200)
WScript.Echo TypeName(1 / 1), TypeName(5 \ 2), TypeName(CByte(1) + CByte(2)), TypeName(CByte(200) + CByte(100))
WScript.Echo TypeName(1.5 + 1), TypeName(CSng(1.5) + 1), TypeName(CSng(1.5) + 100000), TypeName(CCur(1) + 1)
WScript.Echo TypeName(True + True), True + True, TypeName(Empty + Empty), TypeName(Empty & Empty)
WScript.Echo "1" + 1, TypeName("1" + 1), "1" + "1", "a" + Empty, TypeName(Null + 1)
WScript.Echo 3 > 2, 2 >= 3, "abc" < "abd", "B" < "a", 1 = 1.0, "1" = 1
Dim sv, nv: sv = "10": nv = 9
WScript.Echo sv > nv, sv = 10, nv < "8", sv < nv
WScript.Echo Empty = 0, Empty = "", IsNull(Null = Null), IsNull(1 > Null)
WScript.Echo True And False, True Or False, True Xor True, Not True, True Eqv False, False Imp True
WScript.Echo 12 And 10, 12 Or 3, 12 Xor 10, Not 5, 5 Eqv 3, 1 Imp 0
WScript.Echo Null And False, IsNull(Null And True), Null Or True, IsNull(Null Or False)
WScript.Echo "x" & Null & "y", IsNull(Null & Null), Len(Null & "")
WScript.Echo CInt(2.5), CInt(3.5), CInt(-2.5), CLng(1234567.5), CInt("12"), CDbl("1.5E2")
WScript.Echo Int(-2.5), Fix(-2.5), Int(2.5), Fix(2.7), Round(2.5), Round(3.5)
WScript.Echo CBool("True"), CBool(0), CBool(-3), CStr(True), CStr(1.5), CStr(1E+300)
WScript.Echo 1E+15, 1E+14, 123456789012345, 0.1 + 0.2, 1 / 3, 100000 * 100000
WScript.Echo CCur(1.23456), CCur(10) / 4, TypeName(CCur(1) * 2.5)
WScript.Echo #1/31/2024# + 1, TypeName(#1/1/2024# + 1), #1/2/2024# - #1/1/2024#, TypeName(#1/2/2024# - #1/1/2024#)
WScript.Echo Asc("A") + 1, Chr(66), Len("hello"), Mid("hello", 2, 3)
Dim x
x = 5
x = x = 5
WScript.Echo x
WScript.Echo VarType(1), VarType(70000), VarType(1.5), VarType("s"), VarType(True), VarType(Null), VarType(Empty), VarType(CCur(1)), VarType(Now) = 7, VarType(CByte(1)), VarType(CSng(1))
WScript.Echo IsNumeric("12.5"), IsNumeric("abc"), IsNumeric(""), IsNumeric(Empty)
On Error Resume Next
x = "abc" + 1
WScript.Echo Err.Number, Err.Description
Err.Clear
x = 1 / 0
WScript.Echo Err.Number, Err.Description
Err.Clear
x = 0 / 0
WScript.Echo Err.Number
Err.Clear
x = 5 Mod 0
WScript.Echo Err.Number
Err.Clear
x = CInt(40000)
WScript.Echo Err.Number, Err.Description
Err.Clear
x = CInt(32767.5)
WScript.Echo Err.Number
Err.Clear
x = CLng("x")
WScript.Echo Err.Number
Err.Clear
x = CInt(Null)
WScript.Echo Err.Number, Err.Description
Err.Clear
x = 2147483647 \ 0.4
WScript.Echo Err.Number
Err.Clear
Dim o: Set o = Nothing
x = o.Name
WScript.Echo Err.Number, Err.Description
Err.Clear
x = Nothing Is Nothing
WScript.Echo x
x = 1 Is 1
WScript.Echo Err.Number
