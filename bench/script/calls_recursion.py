# Function calls and recursion.
def fib(n):
    if n < 2:
        return n
    return fib(n - 1) + fib(n - 2)

def add3(a, b, c):
    return a + b + c

t = 0
for i in range(1, 300001):
    t = add3(t, i, 1) % 100000
print(fib(25), t)
