' Rnd before anything else: Rnd(0) repeats the generator's starting number,
' and the first numbers follow the documented generator.
WScript.Echo Rnd(0) & " " & Rnd(0) & " " & TypeName(Rnd(0))
WScript.Echo Rnd(0) = 327680 / 16777216
a = Rnd
same = (Rnd(0) = a)
WScript.Echo a & " " & same & " " & Rnd
x = Rnd(-2)
same = (Rnd(0) = x)
again = (Rnd(-2) = x)
differs = (Rnd(-1) <> x)
WScript.Echo same & " " & again & " " & differs
