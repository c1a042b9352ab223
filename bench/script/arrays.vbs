' Array work: a sieve of primes and a bubble-style pass over a 2-D grid.
Const N = 1000000
Dim sieve(), i, j, count
ReDim sieve(N)
For i = 2 To N
  sieve(i) = True
Next
For i = 2 To 1000
  If sieve(i) Then
    For j = i * i To N Step i
      sieve(j) = False
    Next
  End If
Next
count = 0
For i = 2 To N
  If sieve(i) Then count = count + 1
Next
Dim grid(299, 299), r, c, total
For r = 0 To 299
  For c = 0 To 299
    grid(r, c) = r * c
  Next
Next
total = 0
For r = 0 To 299
  For c = 0 To 299
    total = total + grid(r, c)
  Next
Next
WScript.Echo count, total
