Class Node
  Public nextNode
  Sub Class_Terminate
    x = 1 / 0
  End Sub
End Class
Sub main
  Dim a, s, i
  Set a = New Node
  s = "ab"
  For i = 1 To 30
    s = s & s
  Next
  ReDim b(100)
  Execute "c = 1 + 2"
End Sub
