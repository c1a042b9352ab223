' The subtype of each constant: the colours, the later MsgBox options and
' vbObjectError are Long even when the value is small.
Option Explicit
WScript.Echo TypeName(vbBlack) & " " & TypeName(vbRed) & " " & TypeName(vbWhite) & " " & TypeName(vbMsgBoxHelpButton) & " " & TypeName(vbMsgBoxSetForeground) & " " & TypeName(vbObjectError)
WScript.Echo TypeName(vbSystemModal) & " " & TypeName(vbDefaultButton4) & " " & TypeName(vbOK) & " " & TypeName(vbArray) & " " & TypeName(vbTextCompare)
WScript.Echo vbDatabaseCompare & " " & TypeName(vbDatabaseCompare)
