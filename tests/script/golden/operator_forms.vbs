' Operators as VBScript reads them: comparisons written either way round,
' a sign binding tighter than ^, a plus sign changing nothing, the type of
' hexadecimal literals, Single against Double, division of Currency.
WScript.Echo 2 => 1, 2 => 3, 1 =< 1, 2 =< 1, 1 >< 2, 1 >< 1
If 3 => 3 Then WScript.Echo "=> in a condition"
Select Case 5
  Case Is =< 4 : WScript.Echo "wrong"
  Case Is => 5 : WScript.Echo "Case Is =>"
End Select
WScript.Echo -3 ^ 2, -2 ^ 3, 2 ^ -1, 2 ^ 3 ^ 2, 2 * 3 ^ 2, - - 2 ^ 2
Dim n: n = 3
WScript.Echo -n ^ 2, 10 - n ^ 2
WScript.Echo +"true", TypeName(+"true"), TypeName(+True), +Empty & "|", TypeName(+CByte(1))
Class Thing
End Class
Dim t: Set t = New Thing
WScript.Echo +t Is t, TypeName(+t)
WScript.Echo TypeName(&H10&), TypeName(&HFFFF&), TypeName(&HFFFFFFFF&), &HFFFFFFFF&, TypeName(&H10000&)
WScript.Echo &HFFFF, TypeName(&HFFFF), &H8000, TypeName(&H10000), &O177777, TypeName(&O177777&)
WScript.Echo CSng(0.1) = 0.1, CSng(0.1) < 0.1, 0.1 = CSng(0.1), CDbl(CSng(0.1)) = 0.1, CSng(1E+30) < 1E+300
WScript.Echo TypeName(CCur(1) / 3), TypeName(CCur(10) / CCur(4)), CCur(10) / 4
WScript.Echo TypeName(CSng(1) / 2), TypeName(1 / 2), TypeName(CSng(1) / CLng(2))
WScript.Echo TypeName(vbBlack), TypeName(vbRed), TypeName(vbMsgBoxHelpButton), TypeName(vbSystemModal), vbDatabaseCompare
