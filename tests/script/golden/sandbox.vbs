' CreateObject makes the engine's own objects only; nothing reaches
' programs, the network or places beyond the folders the host allows.
On Error Resume Next
Dim names, n, o
names = Array("WScript.Shell", "ADODB.Stream", "Shell.Application", "MSXML2.XMLHTTP", "Scripting.Signer")
For Each n In names
  Set o = CreateObject(n)
  WScript.Echo n, Err.Number, Err.Description
  Err.Clear
Next
Set o = GetObject("winmgmts:")
WScript.Echo "GetObject", Err.Number
Err.Clear
Set o = CreateObject("scripting.dictionary")
WScript.Echo TypeName(o), Err.Number
Set o = CreateObject("Scripting.FileSystemObject")
WScript.Echo TypeName(o), Err.Number
n = o.FileExists("/etc/passwd")
WScript.Echo "outside", Err.Number, Err.Description
