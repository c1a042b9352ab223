' LoadPicture exists but may not open any file; the refusal can be trapped.
Option Explicit
Dim p
On Error Resume Next
Set p = LoadPicture("portrait.bmp")
WScript.Echo "LoadPicture:", Err.Number, Err.Description, IsEmpty(p)
Err.Clear
Set p = LoadPicture("")
WScript.Echo "empty name:", Err.Number
Err.Clear
Set p = LoadPicture(Null)
WScript.Echo "Null:", Err.Number
Err.Clear
On Error GoTo 0
WScript.Echo "untrapped:"
Set p = LoadPicture("/etc/passwd")
WScript.Echo "not reached"
