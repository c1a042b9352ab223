' The numbers and descriptions of errors the runtime library raises.
Sub Show(label)
    WScript.Echo label & ": " & Err.Number & " [" & Err.Description & "]"
    Err.Clear
End Sub
On Error Resume Next
x = Mid("abc", 0)
Show "Mid"
x = CInt("40000")
Show "CInt"
x = CLng(Null)
Show "CLng"
x = CDbl("12 apples")
Show "CDbl"
Set d = CreateObject("Scripting.Dictionary")
d.Add "k", 1
d.Add "k", 2
Show "Add"
d.Remove "missing"
Show "Remove"
x = UBound(Array(1), 2)
Show "UBound"
Set re = New RegExp
re.Pattern = "a{2"
x = re.Test("aa{2")
Show "Literal brace"
re.Pattern = "[z-a]"
x = re.Test("a")
Show "Range"
re.Pattern = "(?<name>x)"
x = re.Test("x")
Show "Named group"
x = Sqr(-4)
Show "Sqr"
x = FormatNumber(1, 300)
Show "FormatNumber"
x = DateAdd("fortnight", 1, Now)
Show "DateAdd"
