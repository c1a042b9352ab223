' A sheet-style script: a character with item lists, laid out as text.
Option Explicit

Class SkillItem
  Public Name, Level, Points, Kind
  Public Property Get Summary()
    Summary = Name & " (" & Kind & ") " & Level
  End Property
End Class

Class Sheet
  Private mLines
  Private mWidth
  Private Sub Class_Initialize()
    Set mLines = CreateObject("Scripting.Dictionary")
    mWidth = 40
  End Sub
  Public Property Let Width(w)
    If w < 10 Then Err.Raise 5, "Sheet", "too narrow"
    mWidth = w
  End Property
  Public Sub AddLine(text)
    mLines.Add mLines.Count + 1, Left(text, mWidth)
  End Sub
  Public Sub Heading(title)
    AddLine String(3, "=") & " " & UCase(title) & " " & String(3, "=")
  End Sub
  Public Sub Print()
    Dim k
    For Each k In mLines.Keys
      WScript.Echo Right("  " & k, 2) & "| " & mLines(k)
    Next
  End Sub
End Class

Function Difficulty(code)
  Select Case UCase(code)
    Case "E": Difficulty = "Easy"
    Case "A": Difficulty = "Average"
    Case "H", "VH": Difficulty = "Hard"
    Case Else: Difficulty = "?"
  End Select
End Function

Function MakeSkill(name, level, points, code)
  Dim s: Set s = New SkillItem
  With s
    .Name = name
    .Level = level
    .Points = points
    .Kind = Difficulty(code)
  End With
  Set MakeSkill = s
End Function

Dim skills(3)
Set skills(0) = MakeSkill("Swimming", 12, 1, "e")
Set skills(1) = MakeSkill("Lockpicking", 11, 2.5, "A")
Set skills(2) = MakeSkill("Physics", 9, 4, "vh")
Set skills(3) = MakeSkill("Cooking", 10, 0.5, "x")

Dim page: Set page = New Sheet
page.Heading "Skills"
Dim i, total, byKind
Set byKind = CreateObject("Scripting.Dictionary")
total = 0
For i = 0 To UBound(skills)
  page.AddLine skills(i).Summary & " [" & FormatNumber(skills(i).Points, 1) & "]"
  total = total + skills(i).Points
  byKind(skills(i).Kind) = byKind(skills(i).Kind) + 1
Next
page.Heading "Totals"
page.AddLine "Points: " & FormatNumber(total, 2) & " (" & FormatPercent(skills(1).Points / total, 0) & " lockpicking)"
Dim kind
For Each kind In byKind.Keys
  page.AddLine kind & ": " & byKind(kind)
Next

On Error Resume Next
page.Width = 5
If Err.Number <> 0 Then page.AddLine "width refused: " & Err.Description
Err.Clear
Dim missing
missing = skills(7).Name
If Err.Number = 9 Then page.AddLine "no eighth skill"
On Error GoTo 0

page.Width = 20
page.AddLine "This line is longer than twenty characters"
page.Print
WScript.Echo "Arguments:", WScript.Arguments.Count
