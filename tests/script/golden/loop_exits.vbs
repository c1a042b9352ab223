' Which loop an Exit leaves, the order For Each walks a many-dimensional
' array in, and the loop variable after a For Each.
Dim i, j, n, s, m(1, 2), c, d
n = 0
Do
  For i = 1 To 3
    n = n + 1
    If i = 2 Then Exit Do
  Next
  n = 100
Loop
WScript.Echo "Exit Do inside a For leaves the Do:", n, i
n = 0
Do
  While True
    n = n + 1
    If n = 3 Then Exit Do
  Wend
Loop
WScript.Echo "Exit Do inside While...Wend leaves the Do around it:", n
For i = 1 To 3
  Do
    Exit For
  Loop
Next
WScript.Echo "Exit For inside a Do leaves the For:", i
For Each i In Array(1, 2, 3)
  For j = 1 To 2
    Do While True
      Exit For
    Loop
  Next
Next
WScript.Echo "Exit For leaves the innermost For:", i, j

For i = 0 To 1
  For j = 0 To 2
    m(i, j) = i & j
  Next
Next
s = ""
For Each c In m
  s = s & c & " "
Next
WScript.Echo "2-D array, first subscript fastest:", s, "then", c
Dim cube(1, 1, 1)
n = 0
For i = 0 To 1: For j = 0 To 1: For d = 0 To 1: cube(i, j, d) = i & j & d: Next: Next: Next
s = ""
For Each c In cube: s = s & c & " ": Next
WScript.Echo "3-D:", s

Set d = CreateObject("Scripting.Dictionary")
d.Add "a", 1: d.Add "b", 2
c = "before"
For Each c In d
Next
WScript.Echo "after a collection the variable is Empty:", IsEmpty(c)
c = "before"
For Each c In CreateObject("Scripting.Dictionary")
Next
WScript.Echo "also after an empty one:", IsEmpty(c)
For Each c In d
  If c = "a" Then Exit For
Next
WScript.Echo "Exit For keeps the element:", c
