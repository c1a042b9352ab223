' String functions: searching, slicing, replacing, splitting, comparing.
WScript.Echo InStr("abcabc", "c") & " " & InStr(4, "abcabc", "c") & " " & InStr(1, "ABC", "b", vbTextCompare) & " " & InStr("abc", "z")
WScript.Echo IsNull(InStr(Null, "a")) & " " & InStr("abc", "") & " " & InStr(5, "abc", "a")
WScript.Echo InStrRev("a.b.c", ".") & " " & InStrRev("a.b.c", ".", 3) & " " & InStrRev("A.B", "b", -1, vbTextCompare)
WScript.Echo Left("hello", 2) & "|" & Right("hello", 3) & "|" & Mid("hello", 2, 3) & "|" & Mid("hello", 4) & "|" & Mid("hi", 5) & "|"
WScript.Echo Len("hello") & " " & Len(12345) & " " & Len(Empty) & " " & IsNull(Len(Null)) & " " & IsNull(Left(Null, 1))
WScript.Echo "[" & LTrim("  a  ") & "][" & RTrim("  a  ") & "][" & Trim("  a  ") & "]"
WScript.Echo UCase("MixEd") & LCase("MixEd")
WScript.Echo Replace("a-b-c", "-", "+") & " " & Replace("a-b-c", "-", "+", 3) & " " & Replace("a-b-c", "-", "+", 1, 1)
WScript.Echo Replace("aAaA", "a", "x", 1, -1, vbTextCompare) & " " & Replace("aAaA", "a", "x")
WScript.Echo "[" & Space(3) & "]" & String(3, "*") & String(2, 65) & String(2, "xyz")
WScript.Echo StrComp("a", "B") & " " & StrComp("a", "B", vbTextCompare) & " " & StrComp("a", "a") & " " & IsNull(StrComp("a", Null))
WScript.Echo StrReverse("stressed") & " " & Asc("A") & " " & AscW("a") & " " & Chr(72) & ChrW(105)
parts = Split("a,b,,c", ",")
WScript.Echo UBound(parts) & " " & Join(parts, "|") & " " & Join(parts)
WScript.Echo UBound(Split("")) & " " & Join(Split("a b c", " ", 2), "|") & " " & Join(Split("aXbxc", "x", -1, 1), "+")
WScript.Echo Join(Filter(Array("apple", "Banana", "cherry"), "an", True, vbTextCompare), ",") & " " & Join(Filter(Array("apple", "Banana", "cherry"), "e", False), ",")
WScript.Echo Escape("a b&c") & " " & Unescape("%41%u0042")
On Error Resume Next
x = Left("abc", -1)
WScript.Echo "Left -1: " & Err.Number
Err.Clear
x = Mid("abc", 0)
WScript.Echo "Mid 0: " & Err.Number
Err.Clear
x = Asc("")
WScript.Echo "Asc empty: " & Err.Number
Err.Clear
x = InStr(1, "a", "a", 5)
WScript.Echo "InStr compare 5: " & Err.Number
Err.Clear
x = Replace(Null, "a", "b")
WScript.Echo "Replace Null: " & Err.Number
Err.Clear
x = Chr(300)
WScript.Echo "Chr 300: " & Err.Number
' A text Replace leaves as it was stays a text of its own.
t = "abc"
s = Replace(Replace(t, "x", "y"), "z", "w")
s = s & "!"
WScript.Echo "Replace unchanged: " & t & " " & s
WScript.Echo "Replace of a number: " & TypeName(Replace(12, "x", "y")) & " " & Replace(12, "1", "9")
WScript.Echo "Replace from 2: " & Replace("abc", "x", "y", 2)
