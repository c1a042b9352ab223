# Dictionary use: adding keys, looking them up, counting words.
d = {}
for i in range(1, 200001):
    d["key" + str(i)] = i
hits = 0
for i in range(1, 400001):
    k = "key" + str(i % 250000)
    if k in d:
        hits = hits + d[k] % 7
words = {}
for i in range(1, 200001):
    k = "w" + str(i % 1000)
    words[k] = words.get(k, 0) + 1
print(len(d), hits, len(words), words["w7"])
