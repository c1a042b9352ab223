' If/ElseIf/Else, Select Case, For/Step, For Each, Do/Loop, While/Wend, Exit, With.
Dim i, s, n
For n = 1 To 4
  If n = 1 Then
    s = "one"
  ElseIf n = 2 Then
    s = "two"
  ElseIf n = 3 Then
    s = "three"
  Else
    s = "many"
  End If
  WScript.Echo n, s
Next
s = ""
For i = 10 To 1 Step -3: s = s & i & " ": Next
WScript.Echo s, i
s = ""
For i = 0 To 1 Step 0.25: s = s & i & " ": Next
WScript.Echo s
s = ""
For i = 5 To 1: s = s & "never": Next
WScript.Echo "[" & s & "]", i
Dim lim: lim = 3: s = ""
For i = 1 To lim
  lim = 10
  s = s & i
Next
WScript.Echo s
s = ""
For i = 1 To 10
  If i = 4 Then Exit For
  s = s & i
Next
WScript.Echo s, i
For Each n In Array("a", "b", "c")
  WScript.Echo "each", n
Next
Dim grid(1, 1): grid(0, 0) = 1: grid(0, 1) = 2: grid(1, 0) = 3: grid(1, 1) = 4
s = ""
For Each n In grid: s = s & n: Next
WScript.Echo s
i = 0
Do While i < 3
  i = i + 1
Loop
WScript.Echo "do while", i
Do Until i = 0
  i = i - 1
Loop
WScript.Echo "do until", i
Do
  i = i + 1
Loop While i < 5
WScript.Echo "loop while", i
Do
  i = i + 1
Loop Until i >= 7
WScript.Echo "loop until", i
Do
  i = i + 1
  If i > 9 Then Exit Do
Loop
WScript.Echo "exit do", i
While i > 5
  i = i - 2
Wend
WScript.Echo "wend", i
Do: i = i + 1: Loop Until True
WScript.Echo "once", i
Function Grade(score)
  Select Case score
    Case 90 To 100: Grade = "A"
    Case 80, 81, 82, 83, 84, 85, 86, 87, 88, 89: Grade = "B"
    Case Is < 0: Grade = "negative"
    Case Is >= 101: Grade = "too high"
    Case Else: Grade = "C"
  End Select
End Function
WScript.Echo Grade(95), Grade(85), Grade(50), Grade(-1), Grade(200)
Select Case "Beta"
  Case "alpha"
    WScript.Echo "wrong"
  Case "Beta", "Gamma"
    WScript.Echo "matched Beta"
End Select
Select Case Null
  Case Null: WScript.Echo "null matched"
  Case Else: WScript.Echo "null falls to else"
End Select
If Null Then WScript.Echo "null true" Else WScript.Echo "null false"
If Not Null Then WScript.Echo "not null true" Else WScript.Echo "not null false"
Class Box
  Public W, H, Inner
End Class
Dim b: Set b = New Box
Set b.Inner = New Box
With b
  .W = 2: .H = 3
  With .Inner
    .W = 20
    WScript.Echo "inner", .W
  End With
  WScript.Echo "outer", .W * .H, .Inner.W
End With
For i = 1 To 3
  For n = 1 To 3
    If n = 2 Then Exit For
    WScript.Echo "nested", i, n
  Next
Next
Stop
i = 32766
For i = 32766 To 32767: Next
WScript.Echo i, TypeName(i)
