' RegExp, Matches, Match and SubMatches.
Set re = New RegExp
re.Pattern = "(\w+)@(\w+)\.com"
re.Global = True
Set ms = re.Execute("bob@site.com, amy@web.com")
WScript.Echo TypeName(re) & " " & TypeName(ms) & " " & ms.Count
For Each m In ms
    WScript.Echo m.Value & " at " & m.FirstIndex & " len " & m.Length & " user " & m.SubMatches(0) & " host " & m.SubMatches(1)
Next
WScript.Echo ms(1) & " " & ms.Item(0).SubMatches.Count
WScript.Echo re.Replace("bob@site.com and amy@web.com", "$2:$1") & " " & re.Test("nothing here")
re.Global = False
WScript.Echo re.Replace("bob@site.com and amy@web.com", "<$&>")
re.Global = True
re.Pattern = "^\s+|\s+$"
WScript.Echo "[" & re.Replace("  padded  ", "") & "]"
re.IgnoreCase = True
re.Pattern = "HELLO"
WScript.Echo re.Test("say hello") & " " & re.IgnoreCase
re.IgnoreCase = False
WScript.Echo re.Test("say hello")
re.Pattern = "a*"
WScript.Echo re.Replace("baaac", "-") & " " & re.Execute("baaac").Count
re.Pattern = "^\d+"
re.Multiline = True
WScript.Echo re.Execute("10 a" & vbLf & "20 b").Count
re.Multiline = False
WScript.Echo re.Execute("10 a" & vbLf & "20 b").Count
re.Pattern = "(\d+)-(\d+)?"
Set m = re.Execute("7-")(0)
WScript.Echo m.SubMatches(0) & " " & (m.SubMatches(1) = "")
re.Pattern = "<(\w+)>.*?</\1>"
WScript.Echo re.Execute("<b>x</b><i>y</i>").Count & " " & re.Execute("<b>x</b><i>y</i>")(1).Value
re.Pattern = "\d{2,3}(?=px)"
WScript.Echo re.Execute("5px 10px 1234px 99em").Count & " " & re.Replace("5px 10px", "N")
re.Pattern = "[^a-z0-9 ]"
WScript.Echo re.Replace("Hello, World! 42", "")
On Error Resume Next
re.Pattern = "(abc"
x = re.Test("abc")
WScript.Echo "Missing paren: " & Err.Number
Err.Clear
re.Pattern = "[abc"
x = re.Test("abc")
WScript.Echo "Missing bracket: " & Err.Number
Err.Clear
re.Pattern = "*a"
x = re.Test("abc")
WScript.Echo "Bad quantifier: " & Err.Number
