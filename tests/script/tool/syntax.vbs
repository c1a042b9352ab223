WScript.Echo "never runs"
If x Then
