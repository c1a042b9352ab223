' Whole-number and floating-point arithmetic in a tight loop.
Dim i, total, x
total = 0
x = 0.0
For i = 1 To 3000000
  total = (total + i * 7) Mod 1000003
  x = x + i / 3
Next
WScript.Echo total, Int(x)
