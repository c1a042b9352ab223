' Scripting.FileSystemObject reading data files beside the script (the
' test host lets it read the folder "files" and below, and starts relative
' paths there).
Option Explicit
Const ForReading = 1, ForWriting = 2, ForAppending = 8, TristateTrue = -1
Dim fso, ts, f, parts, total, line, folder, name

Set fso = CreateObject("Scripting.FileSystemObject")
WScript.Echo TypeName(fso) & " " & fso.FileExists("equipment.txt") & " " & fso.FileExists("missing.txt") & " " & fso.FolderExists("tables") & " " & fso.FileExists("tables")

' An equipment list: one item a line, fields split by ";".
Set ts = fso.OpenTextFile("equipment.txt", ForReading)
WScript.Echo TypeName(ts) & " line " & ts.Line & " end " & ts.AtEndOfStream
total = 0
Do Until ts.AtEndOfStream
    line = ts.Line
    parts = Split(ts.ReadLine, ";")
    total = total + CLng(parts(1))
    WScript.Echo line & ": " & parts(0) & " costs " & parts(1)
Loop
WScript.Echo "total " & total & " line " & ts.Line
ts.Close

' Read, Skip, SkipLine, Column and AtEndOfLine.
Set ts = fso.OpenTextFile("equipment.txt")
WScript.Echo ts.Read(4) & " col " & ts.Column
ts.Skip 5
WScript.Echo ts.Read(3) & " " & ts.AtEndOfLine & " col " & ts.Column
ts.SkipLine
WScript.Echo ts.Line & " " & ts.ReadLine
WScript.Echo Len(ts.ReadAll) & " " & ts.AtEndOfStream

' Every line end counts: CR, LF and CR LF.
Set ts = fso.OpenTextFile("line_ends.txt")
Do Until ts.AtEndOfStream
    WScript.Echo ts.Line & " [" & ts.ReadLine & "]"
Loop

' Text that is not UTF-8 is Windows-1252; format -1 reads UTF-16.
Set ts = fso.OpenTextFile("rules_1252.txt", ForReading, False)
WScript.Echo AscW(ts.Read(1)) & " " & ts.ReadLine & " " & AscW(Right(ts.ReadLine, 1)) & " " & AscW(ts.Read(1))
Set ts = fso.OpenTextFile("wide.txt", ForReading, False, TristateTrue)
WScript.Echo ts.ReadLine & " " & AscW(ts.Read(1)) & " " & ts.ReadAll
WScript.Echo fso.OpenTextFile("wide_no_mark.txt", ForReading, False, TristateTrue).ReadAll & " " & fso.OpenTextFile("wide.txt").ReadLine
Set ts = fso.GetFile("equipment.txt").OpenAsTextStream(ForReading)
WScript.Echo Replace(Mid(ts.ReadAll, 50), vbCrLf, "|")

' Reading past the end, and after Close.
On Error Resume Next
Set ts = fso.OpenTextFile("empty.txt")
WScript.Echo "empty: " & ts.AtEndOfStream & " " & ts.AtEndOfLine
line = ts.ReadAll
WScript.Echo "ReadAll: " & Err.Number & " " & Err.Description
Err.Clear
line = ts.ReadLine
WScript.Echo "ReadLine: " & Err.Number
Err.Clear
ts.Close
line = ts.AtEndOfStream
WScript.Echo "closed: " & Err.Number & " " & Err.Description
Err.Clear
On Error GoTo 0

' Files and folders.
Set f = fso.GetFile("tables/dice.txt")
WScript.Echo TypeName(f) & " " & f.Name & " " & f.Size & " " & (f.Path = fso.GetAbsolutePathName("tables/dice.txt")) & " " & (f = f.Path)
WScript.Echo f.ParentFolder.Name & " " & TypeName(f.ParentFolder) & " " & TypeName(f.DateLastModified)
Set folder = fso.GetFolder("tables")
For Each f In folder.Files
    WScript.Echo "in tables: " & f.Name & " " & f.Size
Next
Set folder = fso.GetFolder(".")
name = ""
For Each f In folder.Files
    name = name & f.Name & " "
Next
WScript.Echo folder.Files.Count & " files: " & name
WScript.Echo folder.SubFolders.Count & " " & folder.SubFolders("tables").Name & " " & folder.Files("empty.txt").Size

' Path helpers work on any text.
WScript.Echo fso.GetFileName("sheets\chars\hero.kvr") & " " & fso.GetBaseName("hero.tar.gz") & " " & fso.GetExtensionName("hero.KVR") & " [" & fso.GetExtensionName("README") & "]"
WScript.Echo fso.GetParentFolderName("sheets/chars/hero.kvr") & " " & fso.BuildPath("sheets", "hero.kvr") & " " & fso.BuildPath("sheets/", "hero.kvr") & " [" & fso.GetDriveName("C:\x") & "]"
WScript.Echo fso.GetAbsolutePathName("tables\..\equipment.txt") = fso.GetFile("equipment.txt").Path

' Outside the folders, and anything that writes: Permission denied.
On Error Resume Next
Dim tries, t
tries = Array("fso.FileExists(""../lib_strings.vbs"")", "fso.OpenTextFile(""../lib_strings.vbs"")", _
    "fso.GetFolder(""..\"")", "fso.OpenTextFile(""equipment.txt"", ForWriting)", _
    "fso.OpenTextFile(""equipment.txt"", ForAppending)", "fso.OpenTextFile(""new.txt"", ForReading, True)", _
    "fso.CreateTextFile(""new.txt"")", "fso.DeleteFile(""empty.txt"")", "fso.GetFolder(""."").ParentFolder", _
    "fso.GetFile(""empty.txt"").OpenAsTextStream(ForWriting)", "fso.OpenTextFile(""missing.txt"")", _
    "fso.OpenTextFile(""tables"")", "fso.GetFolder(""nowhere"")")
For Each t In tries
    Set ts = Nothing
    Set ts = Eval(t)
    If Err.Number = 0 Then ts = Eval(t)
    WScript.Echo t & " -> " & Err.Number
    Err.Clear
Next
Set ts = fso.OpenTextFile("equipment.txt")
ts.WriteLine "sold out"
WScript.Echo "WriteLine -> " & Err.Number & " " & Err.Description
