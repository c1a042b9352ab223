' Numbers written as texts the way en-US settings write amounts.
Sub Show(label, text)
  Dim d
  On Error Resume Next
  d = CDbl(text)
  If Err.Number <> 0 Then d = "error " & Err.Number
  On Error GoTo 0
  WScript.Echo label & ": " & IsNumeric(text) & " " & d
End Sub
Show "thousands", "1,000"
Show "grouped oddly", "1,2,3"
Show "currency", "$1,200.68"
Show "parentheses", "(5)"
Show "currency in parentheses", "($5.50)"
Show "parentheses after currency", "$(5)"
Show "trailing minus", "5-"
Show "blanks", "  - 5  "
Show "sign and parentheses", "(-5)"
Show "unclosed", "(5"
Show "comma first", ",5"
Show "comma in fraction", "1.000,5"
Show "trailing currency", "5$"
Show "too large", "1e400"
WScript.Echo CLng("1,000,000") & " " & TypeName(CCur("$12.34")) & " " & CCur("($12.34)") & " " & CInt("(2.5)")
WScript.Echo "1,000" + 1 & " " & "$5" * 2 & " " & -"(3)" & " " & "10-" \ 3
WScript.Echo ("1,000" = 1000) & " " & ("(5)" < 0) & " " & ("$5" > 4) & " " & ("5 apples" > 4)
x = CDbl("$")
