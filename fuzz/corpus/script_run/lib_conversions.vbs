' Conversion and inspection functions, number-to-text rules.
WScript.Echo CInt(2.5) & " " & CInt(3.5) & " " & CInt(-2.5) & " " & CLng("42") & " " & CDbl("1.5e3") & " " & CByte(7.5)
WScript.Echo CStr(1 / 3) & " " & CStr(2 / 3) & " " & CStr(1 / 30)
WScript.Echo 1E+20 & " " & 1E15 & " " & 1E14 & " " & (0.1 + 0.2) & " " & -0.5 & " " & 1E-16
WScript.Echo CSng(1 / 3) & " " & CCur(1.23456) & " " & CCur(10)
WScript.Echo Hex(255) & " " & Hex(-1) & " " & Hex(CLng(-1)) & " " & Oct(8) & " " & Hex(65535) & " " & IsNull(Hex(Null))
WScript.Echo Fix(-2.5) & " " & Int(-2.5) & " " & Fix(2.7) & " " & Int(2.7) & " " & Abs(-3) & " " & Sgn(-7) & " " & Sgn(0)
WScript.Echo Round(2.5) & " " & Round(3.5) & " " & Round(-2.5) & " " & Round(1.2345, 2) & " " & Round(7)
WScript.Echo TypeName(CInt(1)) & " " & TypeName(CLng(1)) & " " & TypeName(CSng(1)) & " " & TypeName(CDbl(1)) & " " & TypeName(CCur(1))
WScript.Echo TypeName(CByte(1)) & " " & TypeName(CBool(1)) & " " & TypeName(CStr(1)) & " " & TypeName(CDate(1)) & " " & TypeName(Int(2.5))
WScript.Echo TypeName(Empty) & " " & TypeName(Null) & " " & TypeName(Array()) & " " & TypeName(Abs(-32768))
WScript.Echo VarType(Empty) & " " & VarType(Null) & " " & VarType(Array(1)) & " " & VarType("") & " " & VarType(1) & " " & VarType(100000)
WScript.Echo CBool("True") & " " & CBool(0) & " " & CBool("-1") & " " & CBool(2)
WScript.Echo IsNumeric("12") & " " & IsNumeric(" 1.5e3 ") & " " & IsNumeric("12a") & " " & IsNumeric(Empty) & " " & IsNumeric(Null)
WScript.Echo IsEmpty(Empty) & " " & IsEmpty("") & " " & IsNull(Null) & " " & IsArray(Array()) & " " & IsArray("a")
WScript.Echo CDate("12/6/2026") & " " & CDate(1) & " " & CDate(0.5)
On Error Resume Next
x = CInt(40000)
WScript.Echo "CInt 40000: " & Err.Number
Err.Clear
x = CInt(Null)
WScript.Echo "CInt Null: " & Err.Number
Err.Clear
x = CLng("abc")
WScript.Echo "CLng abc: " & Err.Number
Err.Clear
x = CDate("nonsense")
WScript.Echo "CDate nonsense: " & Err.Number
Err.Clear
x = Hex(1E10)
WScript.Echo "Hex 1E10: " & Err.Number
Err.Clear
x = Round(1.5, -1)
WScript.Echo "Round -1: " & Err.Number
