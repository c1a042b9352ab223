' Classes: fields, properties, default member, Me, New, Initialize/Terminate.
Class Counter
  Private mCount
  Public Label
  Private Sub Class_Initialize()
    mCount = 0
    Label = "counter"
    WScript.Echo "init " & Label
  End Sub
  Private Sub Class_Terminate()
    WScript.Echo "terminate " & Label
  End Sub
  Public Property Get Count()
    Count = mCount
  End Property
  Public Property Let Count(v)
    If v < 0 Then Err.Raise 5, "Counter", "negative"
    mCount = v
  End Property
  Public Sub Increment(by)
    mCount = mCount + by
  End Sub
  Public Function Describe()
    Describe = Label & "=" & Me.Count
  End Function
  Public Default Function Value()
    Value = mCount
  End Function
End Class

Class Node
  Public Name
  Private mNext
  Public Property Set NextNode(n)
    Set mNext = n
  End Property
  Public Property Get NextNode()
    Set NextNode = mNext
  End Property
  Property Get Item(i)
    Item = Name & "#" & i
  End Property
  Property Let Item(i, v)
    Name = v & i
  End Property
End Class

Dim c: Set c = New Counter
c.Increment 5
c.Count = c.Count + 1
WScript.Echo c.Count, c.Describe(), c, c + 1, TypeName(c)
Dim c2: Set c2 = c
c2.Label = "shared"
WScript.Echo c.Label, c Is c2, c Is Nothing
Set c = Nothing
WScript.Echo "c released"
Set c2 = Nothing
WScript.Echo "c2 released"

Dim a: Set a = New Node: a.Name = "a"
Dim b: Set b = New Node: b.Name = "b"
Set a.NextNode = b
WScript.Echo a.NextNode.Name, a.Item(3)
a.Item(7) = "z"
WScript.Echo a.Name, IsObject(a.NextNode), a.NextNode Is b

On Error Resume Next
Dim k: Set k = New Counter
k.Count = -1
WScript.Echo Err.Number, Err.Description, Err.Source
Err.Clear
k.Missing = 1
WScript.Echo Err.Number, Err.Description
Err.Clear
k.mCount = 1
WScript.Echo Err.Number
Err.Clear
Dim n: n = New Counter
WScript.Echo Err.Number
Err.Clear
Set n = 5
WScript.Echo Err.Number, Err.Description
Err.Clear
Dim bad: Set bad = New NoSuchClass
WScript.Echo Err.Number, Err.Description
On Error GoTo 0

Function MakeCounter(label)
  Dim t: Set t = New Counter
  t.Label = label
  Set MakeCounter = t
End Function
WScript.Echo MakeCounter("temp").Describe()
WScript.Echo "end"
