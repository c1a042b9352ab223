-- Array work: a sieve of primes and a pass over a 2-D grid.
local N = 1000000
local sieve = {}
for i = 2, N do
  sieve[i] = true
end
for i = 2, 1000 do
  if sieve[i] then
    for j = i * i, N, i do
      sieve[j] = false
    end
  end
end
local count = 0
for i = 2, N do
  if sieve[i] then count = count + 1 end
end
local grid = {}
for r = 0, 299 do
  grid[r] = {}
end
for r = 0, 299 do
  for c = 0, 299 do
    grid[r][c] = r * c
  end
end
local total = 0
for r = 0, 299 do
  for c = 0, 299 do
    total = total + grid[r][c]
  end
end
print(count .. " " .. total)
