# Building a long text piece by piece.  CPython's `s += x` copies the text
# on this machine, so the comparison uses its fastest idiom, a list joined
# at the end.
parts = []
for i in range(1, 300001):
    parts.append("item " + str(i) + ";")
s = "".join(parts)
print(len(s))
