' Under On Error Resume Next, an error in the head of a block goes on into
' the block: a loop's condition, a For Each collection, a With object, a
' Case value.  A Select Case test and a loop's closing condition go on
' after the block.
On Error Resume Next
Dim x, n
n = 0
Do While 1 / 0 > 0
  n = n + 1
  WScript.Echo "Do While body after error", Err.Number
  If n = 2 Then Exit Do
Loop
WScript.Echo "Do While head failed, body ran", n, "times"
Err.Clear
n = 0
Dim turns: turns = 0
Do
  turns = turns + 1
  While CInt("x")
    n = n + 1
    WScript.Echo "While body after error", Err.Number
    Err.Clear
    If n = 2 Then Exit Do
  Wend
  If turns = 3 Then Exit Do ' only when the body never runs
Loop
WScript.Echo "Exit Do left the While and its Do:", n, turns
Err.Clear
n = 0
Do Until CLng("y")
  n = n + 1
  Exit Do
Loop
WScript.Echo "Do Until head failed, body ran:", n, Err.Number
Err.Clear
n = 0
Do
  n = n + 1
Loop While 1 / 0
WScript.Echo "Loop While failed: out after", n, "turn,", Err.Number

Err.Clear
x = "kept"
n = 0
For Each x In Empty
  n = n + 1
  WScript.Echo "For Each body after error", Err.Number
Next
WScript.Echo "For Each over Empty: body ran", n, "time, x", x, "error", Err.Number
Err.Clear
n = 0
For Each x In 1 / 0
  n = n + 1
Next
WScript.Echo "For Each over a failed expression:", n, Err.Number

Err.Clear
n = 0
With 1 / 0
  n = n + 1
  WScript.Echo "With body after error", Err.Number
  Err.Clear
  .Name = "x"
  WScript.Echo "With-dot on no object:", Err.Number
End With
WScript.Echo "With head failed, body ran", n, "time"
Err.Clear
With Nothing
  x = .Name
  WScript.Echo "member of Nothing:", Err.Number, Err.Description
End With

Err.Clear
x = ""
Select Case 2
  Case 1
    x = "one"
  Case 1 / 0
    x = "the failing Case's body, error " & Err.Number
  Case 2
    x = "two"
End Select
WScript.Echo x
Err.Clear
x = ""
Select Case 1 / 0
  Case 1
    x = "one"
  Case Else
    x = "else"
End Select
WScript.Echo "Select test failed: no Case ran [" & x & "]", Err.Number
Err.Clear
x = ""
Select Case 3
  Case 1, 2 / 0, 3
    x = "a failing value of a list goes into its body, error " & Err.Number
End Select
WScript.Echo x
