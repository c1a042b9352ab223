' How calls are written and what they pass: parentheses around the callee,
' x() on an object, conversions called as statements, Randomize as a value,
' With-dots outside a With, New of a built-in class name.
Function SetFirst(a)
  a(0) = "changed"
  SetFirst = "result"
End Function
Dim arr, y
arr = Array("kept")
y = (SetFirst)(arr)
WScript.Echo "(f)(x) passes x by reference:", arr(0), y
arr = Array("kept")
Call (((SetFirst))) (arr)
WScript.Echo "Call (((f))) (x) too:", arr(0)
arr = Array("kept")
Call (((SetFirst))) ((arr))
WScript.Echo "Call (((f))) ((x)) passes a copy:", arr(0)

Class WithDefault
  Public Default Property Get Value
    Value = "default member"
  End Property
End Class
Dim o: Set o = New WithDefault
WScript.Echo "o() calls the default member:", o(), TypeName(o()), TypeName(o)
Sub LocalCall
  Dim lo: Set lo = New WithDefault
  WScript.Echo "and on a local:", lo()
End Sub
LocalCall

On Error Resume Next
Call CByte(1)
WScript.Echo "Call CByte(1):", Err.Number, Err.Description
Err.Clear
CInt "7"
WScript.Echo "CInt as a statement:", Err.Number
Err.Clear
Call CInt("x")
WScript.Echo "a failing conversion fails first:", Err.Number
Err.Clear
Call CStr(1)
Call CBool(1)
Call Len("abc")
WScript.Echo "other functions as statements:", Err.Number
Err.Clear
Dim r: r = "kept"
r = Randomize(0)
WScript.Echo "Randomize as a value:", Err.Number, r
Err.Clear
r = Randomize
WScript.Echo "even without parentheses:", Err.Number, r
Err.Clear
Randomize 1
WScript.Echo "Randomize as a statement:", Err.Number

Err.Clear
.Name = 1
WScript.Echo "a With-dot outside With:", Err.Number, Err.Description
Err.Clear
y = .Name
WScript.Echo "read as well:", Err.Number
On Error GoTo 0

Class RegExp
  Public Property Get Pattern
    Pattern = "the script's class"
  End Property
End Class
Dim re: Set re = New RegExp
re.Pattern = "a+"
WScript.Echo "New RegExp makes the built-in object:", re.Pattern, re.Test("caat")
