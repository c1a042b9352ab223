' Date functions in the fixed en-US locale.
d = DateSerial(2026, 12, 6)
WScript.Echo d & " " & TypeName(d) & " " & CLng(d)
WScript.Echo DateSerial(2026, 13, 1) & " " & DateSerial(2026, 3, 0) & " " & DateSerial(99, 1, 1) & " " & DateSerial(29, 1, 1)
WScript.Echo TimeSerial(15, 4, 5) & " " & TimeSerial(0, 90, 0) & " " & TimeSerial(12, 0, 0)
WScript.Echo CDate("12/6/2026 3:04:05 PM") & " " & CDate("2026-12-06") & " " & CDate("Dec 6, 2026") & " " & CDate("6 December 2026")
WScript.Echo Year(d) & " " & Month(d) & " " & Day(d) & " " & Weekday(d) & " " & Weekday(d, vbMonday)
t = CDate("3:04:05 PM")
WScript.Echo Hour(t) & " " & Minute(t) & " " & Second(t) & " " & IsNull(Year(Null))
WScript.Echo WeekdayName(Weekday(d)) & " " & WeekdayName(1, True) & " " & WeekdayName(1, False, vbMonday) & " " & MonthName(Month(d)) & " " & MonthName(2, True)
WScript.Echo DateAdd("m", 1, "1/31/2026") & " " & DateAdd("yyyy", 1, "2/29/2024") & " " & DateAdd("d", 30, d) & " " & DateAdd("q", -1, d)
WScript.Echo DateAdd("h", 12, "12/6/2026 3:00 PM") & " " & DateAdd("n", -5, "12/6/2026") & " " & DateAdd("ww", 1, d)
WScript.Echo DateDiff("d", "1/1/2026", d) & " " & DateDiff("m", "12/31/2025", "1/1/2026") & " " & DateDiff("yyyy", "12/31/2025", "1/1/2026") & " " & DateDiff("ww", "12/5/2026", d) & " " & DateDiff("w", "11/1/2026", d)
WScript.Echo DateDiff("h", "12/6/2026 1:59 PM", "12/6/2026 2:00 PM") & " " & DateDiff("s", "12/6/2026", "12/6/2026 0:01") & " " & DateDiff("d", d, "1/1/2026")
WScript.Echo DatePart("q", d) & " " & DatePart("y", d) & " " & DatePart("ww", d) & " " & DatePart("w", d) & " " & DatePart("ww", "1/1/2021", vbMonday, vbFirstFourDays)
WScript.Echo DateValue("December 6, 2026 3:04 PM") & " " & TimeValue("15:04") & " " & TimeValue("3 PM")
WScript.Echo IsDate("12/6/2026") & " " & IsDate("hello") & " " & IsDate("2/30/2026") & " " & IsDate(d) & " " & IsDate(5)
WScript.Echo FormatDateTime(CDate("12/6/2026 3:04:05 PM")) & " | " & FormatDateTime(d, vbLongDate) & " | " & FormatDateTime(d, vbShortDate)
WScript.Echo FormatDateTime(t, vbLongTime) & " | " & FormatDateTime(t, vbShortTime)
WScript.Echo TypeName(Date) & " " & TypeName(Time) & " " & TypeName(Now) & " " & TypeName(Timer) & " " & (Date <= Now)
On Error Resume Next
x = DateAdd("x", 1, d)
WScript.Echo "DateAdd x: " & Err.Number
Err.Clear
x = DateSerial(10000, 1, 1)
WScript.Echo "DateSerial 10000: " & Err.Number
Err.Clear
x = WeekdayName(8)
WScript.Echo "WeekdayName 8: " & Err.Number
Err.Clear
x = MonthName(13)
WScript.Echo "MonthName 13: " & Err.Number
