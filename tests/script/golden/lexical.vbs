' Comments, continuations, separators, literals and names.
Rem a Rem comment
Dim a: a = 1: WScript.Echo a ' trailing comment
WScript.Echo "quote "" inside", "tab" & vbTab & "end"
WScript.Echo 1 + _
    2 + _
    3
WScript.Echo &HFF, &H10&, &HFFFF, &HFFFF&, &O17, &17
WScript.Echo TypeName(&HFFFF), TypeName(&HFFFF&), TypeName(&H10000)
WScript.Echo 1.5E3, .25, 1E+20, 12345678901
WScript.Echo TypeName(32767), TypeName(32768), TypeName(2147483647), TypeName(2147483648), TypeName(1.0)
WScript.Echo TypeName(-32768), TypeName(-32769)
WScript.Echo #1/15/2024#, Year(#2024-03-05#), #3:04:05 PM#
Dim [my var], MixedCase
[my var] = "bracketed"
mixedcase = "any case"
WScript.Echo [my var], MIXEDCASE
DIM upper: UPPER = 3: wscript.echo Upper * 2
WScript.Echo "a" & _
  "b"
If a = 1 Then WScript.Echo "one" : WScript.Echo "still one" Else WScript.Echo "not one"
If a = 2 Then WScript.Echo "two" Else WScript.Echo "else branch" : WScript.Echo "else two"
Dim step, error, default, preserve
step = 2: error = "e": default = 3: preserve = "p"
For i = 1 To 5 Step step
  WScript.Echo i, error, default, preserve
Next
Stop
