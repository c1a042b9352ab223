' Only Scripting.Dictionary can be created; nothing reaches files or programs.
On Error Resume Next
Dim names, n, o
names = Array("WScript.Shell", "Scripting.FileSystemObject", "ADODB.Stream", "Shell.Application", "MSXML2.XMLHTTP")
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
