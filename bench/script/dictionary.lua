-- Dictionary use: adding keys, looking them up, counting words.  Lua's
-- tables keep no count, so the twin counts keys as it adds them.
local d, dCount = {}, 0
for i = 1, 200000 do
  d["key" .. i] = i
  dCount = dCount + 1
end
local hits = 0
for i = 1, 400000 do
  local k = "key" .. (i % 250000)
  if d[k] ~= nil then hits = hits + d[k] % 7 end
end
local words, wordCount = {}, 0
for i = 1, 200000 do
  local k = "w" .. (i % 1000)
  local n = words[k]
  if n == nil then
    n = 0
    wordCount = wordCount + 1
  end
  words[k] = n + 1
end
print(dCount .. " " .. hits .. " " .. wordCount .. " " .. words["w7"])
