' Byte functions: strings counted in bytes, two per character, and
' one-byte strings made with ChrB.
Dim s, i, codes, bin
WScript.Echo LenB("abc") & " " & LenB("") & " " & IsNull(LenB(Null)) & " " & LenB(123) & " " & LenB(ChrB(65)) & " " & LenB("a" & ChrB(66))
WScript.Echo AscB("A") & " " & AscB(ChrW(&H1234)) & " " & AscB(ChrB(200)) & " " & AscB(MidB(ChrW(&H1234), 2)) & " " & AscB(ChrB(0))
WScript.Echo "[" & LeftB("abc", 2) & "][" & RightB("abc", 2) & "][" & RightB("abc", 10) & "][" & MidB("abc", 3, 2) & "][" & MidB("abc", 5) & "][" & MidB("abc", 7) & "]"
WScript.Echo LenB(LeftB("abc", 3)) & " " & AscB(RightB(LeftB("abc", 3), 1)) & " " & AscW(MidB("abc", 2, 2)) & " " & LenB(MidB("abc", 2)) & " " & IsNull(MidB(Null, 1))
' Bytes put together one at a time read back as characters.
codes = Array(72, 0, 105, 0, 33, 0)
For i = 0 To UBound(codes)
  bin = bin & ChrB(codes(i))
Next
WScript.Echo LenB(bin) & " " & MidB(bin, 1) & " " & LenB(MidB(bin, 1)) & " " & Len(MidB(bin, 1)) & " " & LeftB(bin, 4) & " " & RightB(bin, 2)
' A pair of bytes that would read back as a single byte stays two bytes.
s = MidB(ChrB(&H41) & ChrB(&HDC), 1)
WScript.Echo LenB(s) & " " & AscB(s) & " " & AscB(MidB(s, 2)) & " " & LenB(MidB(ChrW(&HD83D) & ChrW(&HDC00), 1))
' Half a surrogate pair followed by a lone byte must not pair up with it.
s = MidB(ChrW(&HD83D) & "x", 1, 3)
WScript.Echo LenB(s) & " " & AscB(MidB(s, 2)) & " " & AscB(MidB(s, 3)) & " " & LenB(MidB(s, 1))
WScript.Echo InStrB("abc", "b") & " " & InStrB("abc", ChrB(98)) & " " & InStrB(4, "abcb", "b") & " " & InStrB(1, "ABC", "b", vbTextCompare) & " " & InStrB("ABC", "b")
WScript.Echo InStrB("abc", "") & " " & InStrB(3, "abc", "") & " " & InStrB("", "") & " " & InStrB(9, "abc", "a") & " " & IsNull(InStrB(Null, "a")) & " " & IsNull(InStrB(1, "a", Null))
On Error Resume Next
Sub Check(label)
  WScript.Echo label & ": " & Err.Number
  Err.Clear
End Sub
s = ChrB(256) : Check "ChrB 256"
s = ChrB(-1) : Check "ChrB -1"
s = ChrB(Null) : Check "ChrB Null"
s = AscB("") : Check "AscB empty"
s = AscB(Null) : Check "AscB Null"
s = LeftB("abc", -1) : Check "LeftB -1"
s = RightB(Null, -1) : Check "RightB Null -1"
s = MidB("abc", 0) : Check "MidB 0"
s = MidB("abc", 1, -1) : Check "MidB length -1"
s = InStrB(0, "abc", "a") : Check "InStrB start 0"
s = InStrB(1, "abc", "a", 5) : Check "InStrB compare 5"
s = LenB(Array(1)) : Check "LenB array"
