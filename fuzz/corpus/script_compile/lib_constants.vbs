' The vb constants, message boxes and input boxes (answered by the test host).
WScript.Echo Len(vbCrLf) & " " & Asc(vbCr) & " " & Asc(vbLf) & " " & (vbNewLine = vbCrLf) & " " & Asc(vbTab) & " " & Len(vbNullString) & " " & Asc(vbNullChar) & " " & Asc(vbFormFeed) & " " & Asc(vbVerticalTab)
WScript.Echo vbObjectError & " " & TypeName(vbObjectError) & " " & (vbObjectError + 513)
WScript.Echo vbBlack & " " & vbRed & " " & vbGreen & " " & vbYellow & " " & vbBlue & " " & vbMagenta & " " & vbCyan & " " & vbWhite & " " & TypeName(vbWhite)
WScript.Echo vbBinaryCompare & vbTextCompare & " " & vbSunday & vbMonday & vbTuesday & vbWednesday & vbThursday & vbFriday & vbSaturday & " " & vbUseSystemDayOfWeek & vbUseSystem & vbFirstJan1 & vbFirstFourDays & vbFirstFullWeek
WScript.Echo vbGeneralDate & vbLongDate & vbShortDate & vbLongTime & vbShortTime & " " & vbUseDefault & " " & vbTrue & " " & vbFalse
WScript.Echo vbEmpty & " " & vbNull & " " & vbInteger & " " & vbLong & " " & vbSingle & " " & vbDouble & " " & vbCurrency & " " & vbDate & " " & vbString & " " & vbObject & " " & vbError & " " & vbBoolean & " " & vbVariant & " " & vbDataObject & " " & vbDecimal & " " & vbByte & " " & vbArray
WScript.Echo vbOKOnly & " " & vbOKCancel & " " & vbAbortRetryIgnore & " " & vbYesNoCancel & " " & vbYesNo & " " & vbRetryCancel & " " & vbCritical & " " & vbQuestion & " " & vbExclamation & " " & vbInformation
WScript.Echo vbDefaultButton1 & " " & vbDefaultButton2 & " " & vbDefaultButton3 & " " & vbDefaultButton4 & " " & vbApplicationModal & " " & vbSystemModal & " " & vbMsgBoxHelpButton & " " & vbMsgBoxSetForeground & " " & vbMsgBoxRight & " " & vbMsgBoxRtlReading
WScript.Echo vbOK & vbCancel & vbAbort & vbRetry & vbIgnore & vbYes & vbNo
answer = MsgBox("Save changes?", vbYesNo + vbQuestion, "Sheet")
WScript.Echo "answer " & answer & " " & TypeName(answer)
MsgBox "Done"
typed = InputBox("Your name?", "Sheet", "Anonymous")
WScript.Echo "typed " & typed
WScript.Echo GetLocale() & " " & SetLocale(1033)
