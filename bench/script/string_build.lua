-- Building a long text piece by piece.  `s = s .. x` copies the text each
-- time, so the comparison uses Lua's fastest idiom, a table of parts
-- joined at the end.
local parts = {}
for i = 1, 300000 do
  parts[#parts + 1] = "item " .. i .. ";"
end
local s = table.concat(parts)
print(#s)
