' CreateObject makes the same RegExp and Dictionary objects as New RegExp
' and the builtin Dictionary; names are case-insensitive.
Option Explicit
Dim re, d, other
Set re = CreateObject("VBScript.RegExp")
Set other = New RegExp
WScript.Echo TypeName(re) & " " & TypeName(other)
re.Pattern = "(\d+)-(\d+)"
re.Global = True
WScript.Echo re.Replace("1-2 and 30-40", "$2-$1") & " " & re.Execute("7-8").Item(0).SubMatches(1)
Set re = CreateObject("vbscript.regexp")
WScript.Echo TypeName(re) & " " & re.Global & " " & (re.Pattern = "")
Set d = CreateObject("Scripting.Dictionary")
d.Add "a", 1
d("b") = 2
WScript.Echo TypeName(d) & " " & d.Count & " " & Join(d.Keys, ",")
Set d = CreateObject("SCRIPTING.DICTIONARY")
WScript.Echo d.Count
