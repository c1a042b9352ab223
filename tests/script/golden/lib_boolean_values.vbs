' Booleans through the conversion functions and the RegExp object.
Option Explicit
Dim re, x

WScript.Echo Round(True) & " " & TypeName(Round(True)) & " " & TypeName(Round(False, 2)) & " " & TypeName(Fix(True)) & " " & TypeName(Int(False))
WScript.Echo CByte(True) & " " & TypeName(CByte(True)) & " " & CByte(False) & " " & CInt(True) & " " & CLng(True)
WScript.Echo CBool("#TRUE#") & " " & CBool("#false#") & " " & CBool("  #True#  ") & " " & TypeName(CBool("#FALSE#"))
If "#TRUE#" Then WScript.Echo "#TRUE# is true"
If Not "#FALSE#" Then WScript.Echo "#FALSE# is false"

On Error Resume Next
x = CSng("#TRUE#")
WScript.Echo "CSng #TRUE#: " & Err.Number
Err.Clear
x = CBool("#TRUE")
WScript.Echo "CBool #TRUE: " & Err.Number
Err.Clear
x = CByte(-1)
WScript.Echo "CByte -1: " & Err.Number
Err.Clear
On Error GoTo 0

' The RegExp object reads a Boolean text argument as -1 or 0.
Set re = New RegExp
re.Pattern = "\[\w+\]"
WScript.Echo re.Replace("a [x] b", True) & " | " & re.Replace("a [x] b", False)
re.Pattern = True
WScript.Echo re.Pattern & " " & re.Test("x-1y") & " " & re.Test(True) & " " & re.Execute(True).Count
