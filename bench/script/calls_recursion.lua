-- Function calls and recursion.
local function fib(n)
  if n < 2 then
    return n
  end
  return fib(n - 1) + fib(n - 2)
end

local function add3(a, b, c)
  return a + b + c
end

local t = 0
for i = 1, 300000 do
  t = add3(t, i, 1) % 100000
end
print(fib(25) .. " " .. t)
