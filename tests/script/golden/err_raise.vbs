' Err.Raise: the numbers it accepts, failure codes mapped to the error they
' stand for, and what a Raise leaves out keeping the Err object's values.
On Error Resume Next
Sub Show(label)
  WScript.Echo label & ":", Err.Number, "[" & Err.Source & "]", "[" & Err.Description & "]", _
    "[" & Err.HelpFile & "]", Err.HelpContext
End Sub
Err.Raise &H8007000E
Show "out of memory code"
Err.Clear
Err.Raise &H800A0035
Show "a code of VBScript's own facility"
Err.Clear
Err.Raise &H80004001
Show "not implemented"
Err.Clear
Err.Raise &H80080008
Show "an unknown code is kept"
Err.Clear
Err.Raise 0
Show "zero"
Err.Clear
Err.Raise &H10000&
Show "past 65535"
Err.Clear
Err.Raise -3000000000
Show "past a Long"
Err.Clear
Err.Raise -&H8000
Show "-&H8000 is 32768"
Err.Clear
Err.Raise 1, 2, "desc", "help.chm", 7
Show "everything given"
Err.Raise 5
Show "a second Raise keeps the rest"
Err.Raise &H8007000E
Show "and so does a mapped code"
Err.Clear
Err.Raise 1, "mine"
Show "source given, description by number"
x = 1 / 0
Show "a run-time error sets everything"
Err.Clear
Err.Raise 1000, , "text only"
Show "default source"
On Error GoTo 0
Show "On Error GoTo 0 clears"
