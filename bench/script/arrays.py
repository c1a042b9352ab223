# Array work: a sieve of primes and a pass over a 2-D grid.
N = 1000000
sieve = [None] * (N + 1)
for i in range(2, N + 1):
    sieve[i] = True
for i in range(2, 1001):
    if sieve[i]:
        for j in range(i * i, N + 1, i):
            sieve[j] = False
count = 0
for i in range(2, N + 1):
    if sieve[i]:
        count += 1
grid = [[0] * 300 for _ in range(300)]
for r in range(300):
    for c in range(300):
        grid[r][c] = r * c
total = 0
for r in range(300):
    for c in range(300):
        total += grid[r][c]
print(count, total)
