#!/usr/bin/env python3
# Makes the benchmarks' corpus once: WORK/corpus, 5,000 files (text, structured binary and
# incompressible data, sizes spread like a source tree's) of about 200 MB, the same bytes every
# time; WORK/corpus.done marks it complete.
#   scripts/bench-corpus.py WORK
import os, random, shutil, sys
work = sys.argv[1]
root = os.path.join(work, 'corpus')
if os.path.exists(root + '.done'):
    sys.exit(0)
shutil.rmtree(root, ignore_errors=True)
rng = random.Random(20261207)
words = [''.join(rng.choice('abcdefghijklmnopqrstuvwxyz') for _ in range(rng.randint(2, 10))) for _ in range(4000)]
total = 0
for i in range(5000):
    folder = os.path.join(root, 'd%02d' % (i % 37), 's%d' % (i % 5))
    os.makedirs(folder, exist_ok=True)
    kind = i % 4
    size = int(rng.lognormvariate(9.88, 1.2)) + 100
    size = min(size, 3_000_000)
    if kind == 0 or kind == 1:  # text: source-like lines
        lines, n = [], 0
        while n < size:
            line = ' '.join(rng.choice(words) for _ in range(rng.randint(3, 14))) + '\n'
            lines.append(line); n += len(line)
        data = ''.join(lines).encode()[:size]
        name = 'f%05d.txt' % i
    elif kind == 2:  # binary with structure: records with repeated fields
        rec = bytes(rng.getrandbits(8) for _ in range(64))
        parts, n = [], 0
        while n < size:
            r = bytearray(rec); r[rng.randrange(64)] = rng.getrandbits(8); r[0:4] = n.to_bytes(4, 'little')
            parts.append(bytes(r)); n += 64
        data = b''.join(parts)[:size]
        name = 'f%05d.dat' % i
    else:  # already compressed data
        data = rng.randbytes(size)
        name = 'f%05d.bin' % i
    with open(os.path.join(folder, name), 'wb') as f:
        f.write(data)
    total += len(data)
print('corpus: 5000 files, %d bytes' % total)
open(root + '.done', 'w').close()
