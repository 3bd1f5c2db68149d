# The CPython peer of loop_bench.vrb: the same loop, the same arithmetic.
i = 0
s = 0
while i < 1000000:
    i = i + 1
    s = s + i * 2
print(s)
