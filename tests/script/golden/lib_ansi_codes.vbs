' Asc and Chr work in Windows-1252: every byte round-trips, the five bytes
' the code page leaves undefined included.
Option Explicit
Dim code, bad
bad = ""
For code = 0 To 255
    If Asc(Chr(code)) <> code Then bad = bad & " " & code
Next
WScript.Echo "round trip failures:" & bad
WScript.Echo AscW(Chr(128)) & " " & AscW(Chr(129)) & " " & AscW(Chr(141)) & " " & AscW(Chr(143)) & " " & AscW(Chr(144)) & " " & AscW(Chr(157)) & " " & AscW(Chr(159))
WScript.Echo Asc(ChrW(8364)) & " " & Asc(ChrW(&H81)) & " " & Asc(ChrW(&H3A9)) & " " & Asc(String(2, 157))
