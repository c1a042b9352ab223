' IsNumeric, IsDate and the conversions given an object use its default value.
Option Explicit
Class Box
    Public v
    Public Default Property Get Value
        Value = v
    End Property
End Class
Class Bare
    Public v
End Class
Dim b, nb
Set b = New Box
b.v = 1
WScript.Echo IsNumeric(b) & " " & CByte(b) & " " & Len(b)
b.v = "12.5"
WScript.Echo IsNumeric(b)
b.v = "twelve"
WScript.Echo IsNumeric(b)
b.v = True
WScript.Echo IsNumeric(b) & " " & CByte(b)
b.v = Null
WScript.Echo IsNumeric(b)
Set nb = New Bare
WScript.Echo IsNumeric(nb) & " " & IsNumeric(Nothing)
b.v = #2024-05-06#
WScript.Echo IsDate(b) & " " & IsNumeric(b)
b.v = "May 6, 2024"
WScript.Echo IsDate(b)
b.v = 12
WScript.Echo IsDate(b) & " " & IsDate(nb) & " " & IsDate(Nothing)
