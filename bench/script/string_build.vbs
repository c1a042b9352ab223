' Building a long text piece by piece.
Dim s, i
s = ""
For i = 1 To 300000
  s = s & "item " & i & ";"
Next
WScript.Echo Len(s)
