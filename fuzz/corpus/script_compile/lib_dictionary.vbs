' Scripting.Dictionary: members, key rules, ordering and errors.
Set d = CreateObject("Scripting.Dictionary")
d.Add "a", 1
d.Add "b", 2
d("c") = 3
WScript.Echo TypeName(d) & " " & d.Count & " " & d("b") & " " & d.Item("c")
WScript.Echo d.Exists("a") & " " & d.Exists("z") & " " & d.Exists("A")
d.Key("a") = "aa"
d("b") = 20
WScript.Echo Join(d.Keys, ",") & " / " & Join(d.Items, ",")
For Each k In d
    WScript.Echo k & "=" & d(k)
Next
d.Remove "b"
WScript.Echo d.Count & " " & Join(d.Keys, ",")
x = d("missing")
WScript.Echo d.Count & " " & IsEmpty(x) & " " & d.Exists("missing")
d.Add 1, "one"
WScript.Echo d.Exists("1") & " " & d.Exists(1) & " " & d(CLng(1)) & " " & d(1.0)
Set inner = CreateObject("Scripting.Dictionary")
Set d("inner") = inner
inner.Add "deep", "value"
WScript.Echo d("inner")("deep") & " " & d("inner").Count
On Error Resume Next
d.Add "aa", 5
WScript.Echo "Add duplicate: " & Err.Number
Err.Clear
d.Remove "nope"
WScript.Echo "Remove missing: " & Err.Number
Err.Clear
d.CompareMode = vbTextCompare
WScript.Echo "CompareMode when filled: " & Err.Number
Err.Clear
On Error GoTo 0
Set t = CreateObject("Scripting.Dictionary")
t.CompareMode = vbTextCompare
t.Add "Key", 1
WScript.Echo t.Exists("KEY") & " " & t("kEy") & " " & t.CompareMode
d.RemoveAll
WScript.Echo d.Count & " " & UBound(d.Keys)
Set big = CreateObject("Scripting.Dictionary")
For i = 1 To 1000
    big.Add "k" & i, i
Next
total = 0
For Each k In big
    total = total + big(k)
Next
WScript.Echo big.Count & " " & total & " " & big("k500")
