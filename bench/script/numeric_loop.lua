-- Whole-number and floating-point arithmetic in a tight loop.
local total = 0
local x = 0.0
for i = 1, 3000000 do
  total = (total + i * 7) % 1000003
  x = x + i / 3
end
print(total .. " " .. math.floor(x))
