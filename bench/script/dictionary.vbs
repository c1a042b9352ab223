' Dictionary use: adding keys, looking them up, counting words.
Dim d, i, k, hits
Set d = CreateObject("Scripting.Dictionary")
For i = 1 To 200000
  d.Add "key" & i, i
Next
hits = 0
For i = 1 To 400000
  k = "key" & (i Mod 250000)
  If d.Exists(k) Then hits = hits + d(k) Mod 7
Next
Dim words: Set words = CreateObject("Scripting.Dictionary")
For i = 1 To 200000
  k = "w" & (i Mod 1000)
  words(k) = words(k) + 1
Next
WScript.Echo d.Count, hits, words.Count, words("w7")
