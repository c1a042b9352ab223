' Where a Null argument is an error, which error it is, and where Null
' passes through instead.
Option Explicit
Dim x

Sub Try(label, code)
    On Error Resume Next
    x = Empty
    x = Eval(code)
    WScript.Echo label & ": " & Err.Number & " " & TypeName(x)
    Err.Clear
End Sub

Class Holder
    Public Items
    Public Default Property Get Value
        Value = Items
    End Property
End Class

Class Plain
    Public n
End Class

Dim withList, plainObject
Set withList = New Holder
withList.Items = Array("a", "b")
Set plainObject = New Plain

Try "Split text", "Split(Null)"
Try "Split delimiter", "Split(""a b"", Null)"
Try "Split limit", "Split(""a b"", "" "", Null)"
Try "Split compare", "Split(""a b"", "" "", -1, Null)"
Try "InStr passes Null", "InStr(Null, ""a"")"
Try "InStrRev text", "InStrRev(Null, ""a"")"
Try "InStrRev find", "InStrRev(""abc"", Null)"
Try "InStrRev start", "InStrRev(""abc"", ""a"", Null)"
Try "InStrRev bad start first", "InStrRev(Null, ""a"", 0)"
Try "Mid length", "Mid(""abc"", 1, Null)"
Try "Mid length before bad start", "Mid(""abc"", 0, Null)"
Try "Mid length before text start", "Mid(""abc"", ""x"", Null)"
Try "Mid text passes Null", "Mid(Null, 1, 2)"
Try "Mid bad start of Null", "Mid(Null, 0, 1)"
Try "Join Null", "Join(Null)"
Try "Join object without default", "Join(plainObject)"
Try "Join Null element", "Join(Array(1, Null, 2))"
Try "Join Empty element", "Len(Join(Array(1, Empty, 2), ""-""))"
Try "Join through default value", "Join(withList, ""+"")"
Try "Join a number", "Join(5)"
Try "FormatNumber", "FormatNumber(Null)"
Try "FormatCurrency", "FormatCurrency(Null)"
Try "FormatPercent", "FormatPercent(Null)"
Try "FormatDateTime", "FormatDateTime(Null)"
Try "FormatNumber digits", "FormatNumber(1, Null)"
Try "FormatDateTime kind", "FormatDateTime(0, Null)"
WScript.Echo Join(Array(1, Empty, 2), "-") & " " & Join(withList, "+")
