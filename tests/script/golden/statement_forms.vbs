' Statement forms that need no separator or close on the same line:
' single-line If with End If, "Then :", End without a separator, a Case's
' first statement on its line, a procedure body on its header's line.
Dim x, y
If False Then x = 1 Else x = 2 End If
WScript.Echo "else branch, End If on the line:", x
If True Then x = 3 End If
WScript.Echo "then branch, End If on the line:", x
x = 0
If False Then :
x = x + 1
WScript.Echo "after If False Then : the next line runs once:", x
If True Then : x = 10 : y = 20
WScript.Echo "colon after Then keeps the If on one line:", x, y
If False Then x = 1 : If True Then x = 2 End If
WScript.Echo "nested single-line If, End If closes the inner:", x
If True Then WScript.Echo "a call with arguments before End If" End If

Sub OneLine() x = "one line" End Sub
OneLine
WScript.Echo x
Sub EndsAfterStatement
  x = "end sub right after the statement" End Sub
EndsAfterStatement
WScript.Echo x
Function Twice(n)
  Twice = n * 2 End Function
WScript.Echo "function closed on its last line:", Twice(21)
Class Closing
  Public Value End Class
Class ClosingMethod
  Function Get7() Get7 = 7 End Function End Class
Dim c: Set c = New ClosingMethod
WScript.Echo "class closed on its method's line:", c.Get7()
If True Then
  x = "block If closed on the statement's line" End If
WScript.Echo x

Function Pick(n)
  Select Case n
    Case 1 Pick = "one"
    Case 2, 3 Pick = "two or three" : Pick = Pick & "!"
    Case Else Pick = "other"
  End Select
End Function
WScript.Echo Pick(1), Pick(3), Pick(9)
Select Case 2 : Case 1 : x = "no" : Case 2 : x = "colons all along" : End Select
WScript.Echo x
