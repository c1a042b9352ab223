' What the compiler refuses, and what it lets through, run as code given to
' ExecuteGlobal so that each error is trapped: Exit needs the loop it
' names, Next takes no loop variable, Case Is needs a comparison, Default
' goes only on procedures.
Sub Try(label, code)
  On Error Resume Next
  Err.Clear
  ExecuteGlobal code
  WScript.Echo label & ":", Err.Number, Err.Description
End Sub
Try "Exit Do inside For, no Do", "For i = 1 To 2 : Exit Do : Next"
Try "Exit Do inside While", "While False : Exit Do : Wend"
Try "Exit For inside While", "While False : Exit For : Wend"
Try "Exit For inside Do", "Do : Exit For : Loop"
Try "Exit Do inside For inside Do", "Do : For i = 1 To 2 : Exit Do : Next : Loop"
Try "Next with its variable", "For i = 1 To 2" & vbLf & "Next i"
Try "Case Is with no comparison", "Select Case 1 : Case Is + 5 : End Select"
Try "Case Is <=", "Select Case 1 : Case Is <= 5 : End Select"
Try "Default on a constant", "Class A : Public Default Const C = 1 : End Class"
Try "Default on a field", "Class B : Public Default F : End Class"
Try "class constants naming earlier ones", "Class C : Const A = 1, B = A : End Class"
Try "End If after a one-line If", "If True Then x = 1 End If"
Try "End If with nothing to close", "x = 1" & vbLf & "End If"
Try "Property Get inside a Sub", "Sub S" & vbLf & "Property Get P" & vbLf & "End Property" & vbLf & "End Sub"
Try "a With-dot outside With compiles", "Sub UsesDot : .x = 1 : End Sub"
Try "Me outside a class compiles", "Sub UsesMe : Set m = Me : End Sub"
