'VBScript
' A sheet written the way sheets were written by hand: the print object's
' members called by their bare names, rows placed at fixed heights with
' PrintAtLeft and PrintAtRight, tables built up by concatenation, shades
' of 0 and False, Wingdings check boxes and the narrow Arial for long rows.

Dim y, i, rows, item, total

Sub main()
    ScaleMode = 0
    MarginLeft = 0.6
    MarginRight = 0.6
    MarginTop = 0.9
    MarginBottom = 0.8
    HeaderFont = "Arial"
    HeaderFontSize = 9
    HeaderFontUnderline = True
    Header = Char.Name & "||" & Char.Player
    Footer = "Hand-placed sheet||Page %d"
    FontName = "Arial"
    FontSize = 10

    ' Title block, every line placed by hand.
    FontSize = 18
    FontBold = True
    CurrentY = 1
    PrintAtLeft Char.Name, 0.6
    FontSize = 10
    FontBold = False
    PrintAtRight "Points: " & Char.TotalCost, 7.9
    CurrentY = 1.35
    PrintAtLeft "Player: " & Char.Player, 0.6
    PrintAtLeft "Race: " & Char.Race.Name, 3.2
    PrintAtRight "Unspent: " & Char.UnspentPoints, 7.9
    DrawLine 0.6, 1.6, 7.9, 1.6

    ' Attributes in a hand-placed grid with check boxes.
    y = 1.75
    For Each item In Char.Lists(1)
        CurrentY = y
        FontName = "Wingdings"
        PrintAtLeft Chr(254), 0.6
        FontName = "Arial"
        PrintAtLeft item.TagFullName, 0.85
        PrintAtRight item.TagItem("level"), 2.6
        PrintAtRight "[" & item.TagItem("points") & "]", 3.3
        y = y + 0.2
    Next

    ' Advantages and disadvantages as long placed rows in a narrow font.
    y = 1.75
    FontName = "Arial Narrow"
    For Each item In Char.Lists(2)
        CurrentY = y
        PrintAtLeft item.TagFullName & " - " & item.TagItem("page") & " (taken at creation, see notes)", 4
        PrintAtRight item.TagItem("points"), 7.9
        y = y + 0.2
    Next
    For Each item In Char.Lists(3)
        CurrentY = y
        PrintAtLeft item.TagFullName & " - " & item.TagItem("page"), 4
        PrintAtRight item.TagItem("points"), 7.9
        y = y + 0.2
    Next
    FontName = "Arial"
    If y < 3 Then y = 3

    ' Skills: a title on the line, then a table built by concatenation.
    CurrentY = y + 0.1
    FontBold = True
    PrintAtLeft "SKILLS", 0.6
    FontBold = False
    rows = ""
    total = 0
    For Each item In Char.Lists(6)
        rows = rows & item.TagFullName & "|" & item.TagItem("type") & "|" & item.TagItem("level") & "|" & item.TagItem("points") & ";"
        total = total + item.TagItem("points")
    Next
    If rows = "" Then rows = "(none)|||;"
    TableBorder = 7
    AddTable "<3|^1|>0.8|>0.8", "Skill|Type|Level|Pts", rows, &HE0E0E0, 0, False
    AddTable "<3|^1|>0.8|>0.8", "", "Total|||" & total & ";", 0, False, True

    ' Quirks appended row by row under a header-only table.
    CurrentY = CurrentY + 0.15
    FontBold = True
    PrintAtLeft "QUIRKS", 0.6
    FontBold = False
    TableBorder = 11
    AddTable "<5.5|>1", "Quirk|Pts", "", False, False, False
    For Each item In Char.Lists(4)
        AddTable "<5.5|>1", "", item.TagFullName & "|" & item.TagItem("points") & ";", False, False, True
    Next

    ' Spells and powers in two columns, then back to one for the notes.
    CurrentY = CurrentY + 0.15
    Columns = 2
    FontBold = True
    PrintParagraph "Spells and powers"
    FontBold = False
    For Each item In Char.Lists(7)
        PrintParagraph item.TagFullName & " (" & item.TagItem("college") & "), level " & item.TagItem("level")
    Next
    For Each item In Char.Lists(5)
        PrintParagraph item.TagFullName & ": " & item.TagItem("notes")
    Next
    Columns = 1
    PrintParagraph ""
    FontBold = True
    PrintParagraph "Notes"
    FontBold = False
    PrintParagraph Char.Description
    PrintParagraph Replace(Char.Notes, "~P", vbCrLf)

    ' A signature block near the bottom, placed by hand.
    CurrentY = 9.6
    PrintAtLeft "Signed:" & vbCrLf & "(game master)", 0.6
    DrawLine 1.4, 9.75, 4, 9.75
End Sub
