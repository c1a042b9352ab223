'VBScript
' ---------------------------------------------------------------------------
' The standard character sheet.
'
' A sheet script is plain VBScript.  Two objects are ready for it:
'   Char     the character: Char.Name, Char.Race.Name, Char.PD(0),
'            Char.Lists(6) (the skills), Char.Lists(6)(1).TagItem("level")...
'   Preview  the printer: it places text, boxes, lines, tables and pictures.
' The program calls the Sub main below once; everything else is ours.
'
' Item lists: 1 attributes, 2 advantages, 3 disadvantages, 4 quirks,
' 5 powers, 6 skills, 7 spells.  Each item is a tag list such as
' ",name(Broadsword),type(DX/A),level(14),points(8)", read with TagItem.
'
' All measures below are in inches (ScaleMode 0, the default).  Tables are
' given as a format ("<" left, "^" centre, ">" right, then the column width),
' a header row and body rows; cells are separated by "|", rows by ";".
' ---------------------------------------------------------------------------
Option Explicit

Const PAGE_LEFT = 0.5
Const PAGE_RIGHT = 8
Const PAGE_TOP = 0.6
Const INK = 0               ' black
Const ACCENT = &H6B3A1E     ' dark blue (colours are &HBBGGRR)
Const SHADE = &HF3EAE2      ' pale blue behind table headers
Const ROW_SHADE = &HFAFAFA
Const RULE = &HA0A0A0       ' grey lines

Sub main()
    SetUpPage
    PrintIdentity
    PrintAttributesAndDefences
    PrintCombat
    PrintPointTotals
    PrintItemSections
    PrintTextBlocks
End Sub

' ---- page set-up ------------------------------------------------------------

Sub SetUpPage()
    With Preview
        .ScaleMode = 0
        .MarginLeft = PAGE_LEFT
        .MarginRight = 0.5
        .MarginTop = PAGE_TOP
        .MarginBottom = 0.7
        .FontName = "Arial"
        .FontSize = 10
        .TextColor = INK
        .HeaderFont = "Arial"
        .HeaderFontSize = 8
        .HeaderColor = RULE
        ' The trailing line breaks leave a blank line between the header and
        ' the first line of every page.
        .Header = Char.Name & vbCrLf & "||" & Char.Player & vbCrLf
        .Footer = "Quillet character sheet||Page %d"
        .TableBorder = 7
        .TablePen = 0
        .PenColor = RULE
    End With
End Sub

' ---- identity: name, player, race and the portrait -------------------------

Sub PrintIdentity()
    Dim top, bottom, statusText
    top = PAGE_TOP + 0.1
    bottom = top + 1.9
    Preview.DrawBox PAGE_LEFT, top, PAGE_RIGHT, bottom, True

    ' The portrait sits in the right end of the box, keeping its proportions.
    If Len(Char.Portrait) > 0 Then
        Preview.Picture Char.Portrait, PAGE_RIGHT - 1.45, top + 0.1, 1.35, 1.7
    Else
        Preview.PenColor = RULE
        Preview.DrawLine PAGE_RIGHT - 1.45, top + 0.1, PAGE_RIGHT - 0.1, top + 1.8
        Preview.DrawLine PAGE_RIGHT - 1.45, top + 1.8, PAGE_RIGHT - 0.1, top + 0.1
        Preview.FontSize = 8
        Preview.CurrentY = top + 0.85
        Preview.PrintCentered "no portrait", PAGE_RIGHT - 1.45, PAGE_RIGHT - 0.1
    End If

    Preview.TextColor = ACCENT
    Preview.FontSize = 22
    Preview.FontBold = True
    Preview.CurrentY = top + 0.12
    Preview.PrintAtLeft NameOrUnknown(Char.Name), PAGE_LEFT + 0.2

    Preview.TextColor = INK
    Preview.FontSize = 10
    Preview.FontBold = False
    If Char.InPlay <> 0 Then statusText = "in play" Else statusText = "not yet in play"
    LabelledLine "Player", Char.Player, top + 0.65
    LabelledLine "Race", RaceText(), top + 0.9
    LabelledLine "Status", statusText, top + 1.15
    If Len(Char.DateCreated) > 0 Then LabelledLine "Created", Char.DateCreated, top + 1.4

    ' Point summary, right-aligned before the portrait.
    Preview.FontSize = 9
    Preview.CurrentY = top + 0.65
    Preview.PrintAtRight "Total points", PAGE_RIGHT - 1.7
    Preview.FontSize = 20
    Preview.FontBold = True
    Preview.CurrentY = top + 0.82
    Preview.PrintAtRight Points(Char.TotalCost), PAGE_RIGHT - 1.7
    Preview.FontBold = False
    Preview.FontSize = 9
    Preview.CurrentY = top + 1.25
    Preview.PrintAtRight "Unspent: " & Points(Char.UnspentPoints), PAGE_RIGHT - 1.7
    Preview.FontSize = 10

    Preview.CurrentY = bottom + 0.2
End Sub

Sub LabelledLine(label, value, y)
    Preview.CurrentY = y
    Preview.FontBold = True
    Preview.PrintAtLeft label & ":", PAGE_LEFT + 0.2
    Preview.FontBold = False
    Preview.PrintAtLeft value, PAGE_LEFT + 1
End Sub

Function NameOrUnknown(text)
    If Len(Trim(text)) = 0 Then NameOrUnknown = "(unnamed character)" Else NameOrUnknown = text
End Function

' The race with its attribute adjustments, e.g. "Halfling (ST -3, DX +1)".
Function RaceText()
    Dim parts
    parts = ""
    With Char.Race
        parts = AddAdjustment(parts, "ST", .STAdj)
        parts = AddAdjustment(parts, "DX", .DXAdj)
        parts = AddAdjustment(parts, "IQ", .IQAdj)
        parts = AddAdjustment(parts, "HT", .HTAdj)
        If parts = "" Then RaceText = .Name Else RaceText = .Name & " (" & parts & ")"
    End With
End Function

Function AddAdjustment(soFar, attribute, amount)
    If amount = 0 Then
        AddAdjustment = soFar
        Exit Function
    End If
    If soFar <> "" Then soFar = soFar & ", "
    If amount > 0 Then
        AddAdjustment = soFar & attribute & " +" & amount
    Else
        AddAdjustment = soFar & attribute & " " & amount
    End If
End Function

' ---- attributes and defences, side by side ---------------------------------

Sub PrintAttributesAndDefences()
    Dim top, rows, item, leftBottom, loc
    Dim locations
    locations = Array("Head", "Body", "Arms", "Legs", "Hands", "Feet")

    top = Preview.CurrentY
    SectionTitle "Attributes"
    rows = ""
    For Each item In Char.Lists(1)
        rows = rows & Cell(item.TagFullName) & "|" & Cell(item.TagItem("level")) & "|" & _
               Cell(item.TagItem("points")) & ";"
    Next
    If rows = "" Then rows = "(none)||;"
    Preview.AddTable "<1.9|^0.9|>0.8", "Attribute|Level|Points", rows, SHADE, Empty, False
    leftBottom = Preview.CurrentY

    ' The defence table goes to the right half: move the left margin there
    ' for the moment, since tables start at the left margin.
    Preview.MarginLeft = 4.4
    Preview.CurrentY = top
    SectionTitle "Defences"
    rows = ""
    For loc = 0 To 5
        rows = rows & locations(loc) & "|" & Cell(Char.PD(loc)) & "|" & Cell(Char.DR(loc)) & ";"
    Next
    If Char.OtherPD <> "" Or Char.OtherDR <> "" Then
        rows = rows & "Other|" & Cell(Char.OtherPD) & "|" & Cell(Char.OtherDR) & ";"
    End If
    Preview.AddTable "<1.6|^0.9|^1.1", "Location|PD|DR", rows, SHADE, Empty, False
    Preview.MarginLeft = PAGE_LEFT

    If leftBottom > Preview.CurrentY Then Preview.CurrentY = leftBottom
    Gap 0.15
End Sub

' ---- combat: damage, parry, block, encumbrance ------------------------------

Sub PrintCombat()
    Dim top, leftBottom, rows
    top = Preview.CurrentY
    SectionTitle "Combat"
    rows = "Swing|" & Cell(Char.BaseSW) & ";" & "Thrust|" & Cell(Char.BaseTH) & ";"
    rows = rows & "Parry|" & DefenceText(Char.ParryUsing, Char.ParryScore) & ";"
    rows = rows & "Block|" & DefenceText(Char.BlockUsing, Char.BlockScore) & ";"
    Preview.AddTable "<1.1|<2.5", "Manoeuvre|Score", rows, SHADE, Empty, False
    leftBottom = Preview.CurrentY

    Preview.MarginLeft = 4.4
    Preview.CurrentY = top
    SectionTitle "Encumbrance"
    rows = "None|x" & Char.NEncMult & ";Light|x" & Char.LEncMult & ";Medium|x" & Char.MEncMult & _
           ";Heavy|x" & Char.HEncMult & ";Extra heavy|x" & Char.XEncMult & ";"
    Preview.AddTable "<1.9|^1.7", "Level|Multiplier", rows, SHADE, Empty, False
    Preview.MarginLeft = PAGE_LEFT

    If leftBottom > Preview.CurrentY Then Preview.CurrentY = leftBottom
    Gap 0.15
End Sub

Function DefenceText(usingWhat, score)
    If Len(Trim(usingWhat)) = 0 Or LCase(Trim(usingWhat)) = "none" Then
        DefenceText = "-"
    Else
        DefenceText = Cell(usingWhat) & ": " & score
    End If
End Function

' ---- where the points went --------------------------------------------------

Sub PrintPointTotals()
    Dim header, row
    SectionTitle "Point totals"
    header = "Attributes|Advantages|Disadvantages|Quirks|Powers|Skills|Spells|Total|Unspent"
    row = Points(Char.StatCost) & "|" & Points(Char.AdCost) & "|" & Points(Char.DisadCost) & "|" & _
          Points(Char.QuirkCost) & "|" & Points(Char.PowerCost) & "|" & Points(Char.SkillCost) & "|" & _
          Points(Char.SpellCost) & "|" & Points(Char.TotalCost) & "|" & Points(Char.UnspentPoints) & ";"
    Preview.FontSize = 9
    Preview.AddTable "^0.85|^0.9|^1.0|^0.75|^0.75|^0.75|^0.75|^0.85|^0.9", header, row, SHADE, Empty, False
    Preview.FontSize = 10
    Gap 0.15
End Sub

' Point values print without needless decimals: 15, -5, 2.5.
Function Points(value)
    If value = Int(value) Then
        Points = CStr(CLng(value))
    Else
        Points = FormatNumber(value, 2, True, False, False)
        Do While Right(Points, 1) = "0"
            Points = Left(Points, Len(Points) - 1)
        Loop
    End If
End Function

' ---- the item lists, each a table that flows onto further pages -------------

Sub PrintItemSections()
    ItemSection 2, "Advantages"
    ItemSection 3, "Disadvantages"
    ItemSection 4, "Quirks"
    ItemSection 5, "Powers"
    ItemSection 6, "Skills"
    ItemSection 7, "Spells"
End Sub

Sub ItemSection(listNumber, title)
    Dim list, item, rows, format, header, total
    Set list = Char.Lists(listNumber)
    If list.Count = 0 Then Exit Sub

    Select Case listNumber
        Case 2, 3
            format = "<4.6|^0.8|>0.8|^1.3"
            header = "Name|Level|Points|Page"
        Case 4
            format = "<6.7|>0.8"
            header = "Quirk|Points"
        Case 5
            format = "<2.4|^0.7|>0.7|<3.7"
            header = "Power|Level|Points|Notes"
        Case 6
            format = "<3.6|^1.0|^0.8|>0.8|^1.3"
            header = "Skill|Type|Level|Points|Page"
        Case 7
            format = "<1.8|<1.5|<0.9|<0.7|<0.8|<0.7|^0.5|>0.6"
            header = "Spell|College|Class|Time|Duration|Cost|Level|Points"
    End Select

    rows = ""
    total = 0
    For Each item In list
        rows = rows & ItemRow(listNumber, item) & ";"
        If IsNumeric(item.TagItem("points")) Then total = total + CDbl(item.TagItem("points"))
    Next

    ' Keep a title from being stranded at the foot of a page.
    If Preview.CurrentY > Preview.PageHeight - Preview.MarginBottom - 1 Then Preview.NewPage

    SectionTitle title & "  (" & list.Count & ", " & Points(total) & " points)"
    If listNumber = 7 Then Preview.FontSize = 8 Else Preview.FontSize = 9
    Preview.AddTable format, header, rows, SHADE, Empty, False
    Preview.FontSize = 10
    Gap 0.15
End Sub

Function ItemRow(listNumber, item)
    Select Case listNumber
        Case 2, 3
            ItemRow = Cell(item.TagFullName) & "|" & Cell(item.TagItem("level")) & "|" & _
                      Cell(item.TagItem("points")) & "|" & Cell(item.TagItem("page"))
        Case 4
            ItemRow = Cell(item.TagFullName) & "|" & Cell(item.TagItem("points"))
        Case 5
            ItemRow = Cell(item.TagFullName) & "|" & Cell(item.TagItem("level")) & "|" & _
                      Cell(item.TagItem("points")) & "|" & Cell(item.TagItem("notes"))
        Case 6
            ItemRow = Cell(item.TagFullName) & "|" & Cell(item.TagItem("type")) & "|" & _
                      Cell(item.TagItem("level")) & "|" & Cell(item.TagItem("points")) & "|" & _
                      Cell(item.TagItem("page"))
        Case 7
            ItemRow = Cell(item.TagFullName) & "|" & Cell(item.TagItem("college")) & "|" & _
                      Cell(item.TagItem("class")) & "|" & Cell(item.TagItem("time")) & "|" & _
                      Cell(item.TagItem("duration")) & "|" & Cell(item.TagItem("cost")) & "|" & _
                      Cell(item.TagItem("level")) & "|" & Cell(item.TagItem("points"))
    End Select
End Function

' ---- description and notes --------------------------------------------------

Sub PrintTextBlocks()
    TextBlock "Description", Char.Description
    TextBlock "Notes", Char.Notes
End Sub

Sub TextBlock(title, text)
    If Len(Trim(text)) = 0 Then Exit Sub
    If Preview.CurrentY > Preview.PageHeight - Preview.MarginBottom - 1 Then Preview.NewPage
    SectionTitle title
    Preview.FontSize = 10
    Preview.PrintParagraph text
    Gap 0.15
End Sub

' ---- small helpers ----------------------------------------------------------

' A section title in the accent colour with a rule under it.
Sub SectionTitle(title)
    Dim y
    Preview.FontSize = 12
    Preview.FontBold = True
    Preview.TextColor = ACCENT
    Preview.CurrentX = Preview.MarginLeft
    Preview.PrintParagraph title
    y = Preview.CurrentY
    Preview.PenColor = ACCENT
    Preview.DrawLine Preview.MarginLeft, y, Preview.PageWidth - Preview.MarginRight, y
    Preview.PenColor = RULE
    Preview.TextColor = INK
    Preview.FontBold = False
    Preview.FontSize = 10
    Gap 0.05
End Sub

Sub Gap(inches)
    Preview.CurrentY = Preview.CurrentY + inches
End Sub

' Table cells are divided by "|" and rows by ";": keep both out of the text.
Function Cell(text)
    Cell = Replace(Replace(Replace(text, "|", "/"), ";", ","), vbCrLf, " ")
End Function
