' A host object: properties, methods, default member, ByRef and optional
' arguments, argument kinds, enumeration and errors.
Host.Add "first"
Host.Add 2
Host.Add "third"
WScript.Echo Host.Count, Host(0), Host.Item(1), HOST.item(2), host.NAME
Host.Name = "renamed"
WScript.Echo Host.Name
Host(1) = "second"
WScript.Echo Host(1)
Dim n: n = 21
Host.Twice n
WScript.Echo n
Host.Twice (n)
WScript.Echo n
Dim arr(1): arr(0) = 5
Host.Twice arr(0)
WScript.Echo arr(0)
WScript.Echo Host.Greet("Ann"), Host.Greet("Bob", "Hi")
WScript.Echo Host.Kinds(2.5, 3.5, 1.5, "2.25", 1.23456, "True", 42)
Dim item, s
For Each item In Host
  s = s & "[" & item & "]"
Next
WScript.Echo s
WScript.Echo TypeName(Host), IsObject(Host), Host.Child Is Nothing
Set Host.Child = Host
WScript.Echo Host.Child.Name, Host.Child.Child(0)
Set Host.Child = Nothing ' break the cycle
With Host
  .Name = "with"
  WScript.Echo .Name, .Count
End With
On Error Resume Next
Host.Nope
WScript.Echo Err.Number, Err.Description
Err.Clear
WScript.Echo Host.Greet()
WScript.Echo Err.Number
Err.Clear
Host.Kinds 40000, 1, 1, 1, 1, True, "x"
WScript.Echo Err.Number
Err.Clear
Host.Fail 5017
WScript.Echo Err.Number, Err.Description
Err.Clear
WScript.Echo Host(7)
WScript.Echo Err.Number
Err.Clear
Host.Count = 3
WScript.Echo Err.Number
Err.Clear
Set Host.Child = 5
WScript.Echo Err.Number
