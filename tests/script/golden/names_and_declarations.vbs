' Where declarations may stand and what may be a name: procedures and
' constants declared inside blocks, "Property" as an ordinary name,
' keywords as member names after a dot, Me outside a class.
If False Then
  Sub DeclaredInFalseIf
    WScript.Echo "a Sub inside If False is declared all the same"
  End Sub
  Function TwiceInIf(n)
    TwiceInIf = 2 * n
  End Function
  Const InIf = "constant from inside If False"
End If
DeclaredInFalseIf
WScript.Echo TwiceInIf(4), InIf
Dim i
For i = 1 To 2
  Sub InsideLoop
    WScript.Echo "declared inside a For"
  End Sub
  If i = 2 Then Exit For
Next
InsideLoop
WScript.Echo "Exit For after a Sub declared in the loop:", i

Sub UsesProperty
  Dim Property
  Property = "property as a variable"
  WScript.Echo Property
  For Property = 1 To 2 : Next
  WScript.Echo "and as a loop counter:", Property
End Sub
UsesProperty
Class Property
  Public Property Get Property
    Property = "class, property and member all named Property"
  End Property
End Class
Dim p: Set p = New Property
WScript.Echo p.Property

Class Keywords
  Public Property Get [Rem]
    [Rem] = "rem"
  End Property
  Public Property Get [End]
    [End] = "end"
  End Property
  Public Function [If](n)
    [If] = "if " & n
  End Function
  Public [Next]
End Class
Dim k: Set k = New Keywords
k.next = "next"
WScript.Echo k.rem, k.End, k.if(1), k.Next & "!" ' a comment still starts here
With k
  WScript.Echo .rem, .end
End With

Class Holder
  Const First = 1, Second = First
  Public Function Sum()
    Const Third = Second
    Sum = First + Second + Third
  End Function
End Class
Dim h: Set h = New Holder
WScript.Echo "class constants naming earlier ones:", h.Sum()

WScript.Echo "Me outside a class:", TypeName(Me)
Sub ShowMe
  WScript.Echo "Me in a Sub outside a class:", TypeName(Me)
End Sub
ShowMe
