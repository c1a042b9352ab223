' Number formatting in the fixed en-US locale.
WScript.Echo FormatNumber(1234567.891) & " | " & FormatNumber(1234.56, 0) & " | " & FormatNumber(0.126, 2) & " | " & FormatNumber(999.996)
WScript.Echo FormatNumber(0.5, 2, vbFalse) & " | " & FormatNumber(0.5, 2, vbTrue) & " | " & FormatNumber(-1234.5, 2, , vbTrue) & " | " & FormatNumber(1234.5, 2, , , vbFalse)
WScript.Echo FormatNumber(-1234.5) & " | " & FormatNumber("1e3", 1) & " | " & FormatNumber(12, 3)
WScript.Echo FormatCurrency(1234.5) & " | " & FormatCurrency(-5) & " | " & FormatCurrency(-5, 2, , vbFalse) & " | " & FormatCurrency(0.6, 0)
WScript.Echo FormatPercent(0.256) & " | " & FormatPercent(0.256, 0) & " | " & FormatPercent(-0.05, 1) & " | " & FormatPercent(12.5, 0)
' Halves round away from zero here, unlike Round and CInt.
WScript.Echo FormatNumber(2.5, 0) & " | " & FormatNumber(-2.5, 0) & " | " & FormatNumber(0.125, 2) & " | " & FormatCurrency(0.5, 0) & " | " & Round(2.5)
On Error Resume Next
x = FormatNumber("abc")
WScript.Echo "FormatNumber abc: " & Err.Number
Err.Clear
x = FormatNumber(1, 2, 5)
WScript.Echo "FormatNumber tristate 5: " & Err.Number
Err.Clear
x = FormatNumber(Null)
WScript.Echo "FormatNumber Null: " & Err.Number
