' Function calls and recursion.
Function Fib(n)
  If n < 2 Then
    Fib = n
  Else
    Fib = Fib(n - 1) + Fib(n - 2)
  End If
End Function
Function Add3(a, b, c)
  Add3 = a + b + c
End Function
Dim i, t
For i = 1 To 300000
  t = Add3(t, i, 1) Mod 100000
Next
WScript.Echo Fib(25), t
