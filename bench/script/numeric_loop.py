# Whole-number and floating-point arithmetic in a tight loop.
total = 0
x = 0.0
for i in range(1, 3000001):
    total = (total + i * 7) % 1000003
    x = x + i / 3
print(total, int(x))
