' An error in a For statement's bounds under On Error Resume Next resumes
' into the body: it runs once with the counter untouched, and Next then
' raises error 92 and resumes after the loop.
On Error Resume Next
Dim i, seen
For i = 1 To 1 / 0
  seen = seen & "[" & i & "]" & Err.Number
Next
WScript.Echo seen, IsEmpty(i), Err.Number, Err.Description
Err.Clear
' The counter keeps what it held; a bad step or start does the same.
i = "kept": seen = ""
For i = 1 To 3 Step Null
  seen = seen & i
Next
WScript.Echo seen, Err.Number
Err.Clear
seen = ""
For i = "x" To 3
  seen = seen & "body"
  Exit For
Next
WScript.Echo seen, Err.Number, Err.Description
Err.Clear
' In a procedure, with the error trap off again afterwards.
Function Count(limit)
  On Error Resume Next
  Dim n, turns
  For n = 1 To limit
    turns = turns + 1
  Next
  Count = turns & "/" & Err.Number
End Function
WScript.Echo Count(3), Count("many")
' Without the trap the error ends the run at the For statement.
On Error GoTo 0
For i = 1 To "many"
  WScript.Echo "never"
Next
