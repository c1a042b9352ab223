' Reads a file beside itself and one in the folder it was started from;
' the folder above its own is out of reach.
Set fso = CreateObject("Scripting.FileSystemObject")
here = fso.GetParentFolderName(WScript.ScriptFullName)
WScript.Echo fso.OpenTextFile(fso.BuildPath(here, "reads_files_data.txt")).ReadLine
WScript.Echo fso.OpenTextFile("started_here.txt").ReadLine
On Error Resume Next
x = fso.FolderExists(fso.BuildPath(here, ".."))
WScript.Echo "above:", Err.Number
