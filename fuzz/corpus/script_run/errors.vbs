' The Err object, On Error Resume Next / GoTo 0, error numbers and descriptions.
On Error Resume Next
Err.Raise 9
WScript.Echo Err.Number, Err.Description, Err.Source
Err.Raise 1000, "MySource", "custom text"
WScript.Echo Err.Number, Err.Description, Err.Source
Err.Raise vbObjectError + 1
WScript.Echo Err.Number, Err.Description
Err.Clear
WScript.Echo Err.Number, "[" & Err.Description & "]", Err
Dim a(1)
a(5) = 1
WScript.Echo "continued after", Err.Number
On Error GoTo 0
WScript.Echo "cleared by On Error", Err.Number
Sub Inner()
  Dim x: x = 1 / 0
  WScript.Echo "not reached"
End Sub
Sub Outer()
  On Error Resume Next
  Inner
  WScript.Echo "outer continues", Err.Number
End Sub
Outer
Function SafeDivide(a, b)
  On Error Resume Next
  SafeDivide = a / b
  If Err.Number <> 0 Then SafeDivide = "n/a"
End Function
WScript.Echo SafeDivide(6, 3), SafeDivide(1, 0)
On Error Resume Next
If 1 / 0 = 5 Then WScript.Echo "then part runs after an error in the condition"
Err.Clear
Dim codes, c
codes = Array(5, 6, 7, 9, 10, 11, 13, 28, 35, 91, 92, 94, 424, 429, 438, 450, 451, 500, 501, 502, 5017)
For Each c In codes
  Err.Raise c
  WScript.Echo c, Err.Description
  Err.Clear
Next
Err.Number = 11
WScript.Echo Err.Number
Err.Raise 0
WScript.Echo Err.Number
On Error GoTo 0
Err.Raise 6
WScript.Echo "not reached"
