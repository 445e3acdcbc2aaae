#!/usr/bin/env python3
# Makes the benchmarks' trees once, the same bytes every time, each marked complete by WORK/<name>.done:
#   scripts/bench-corpus.py WORK         WORK/corpus: 5,000 files of about 200 MB (text, structured
#                                        binary and incompressible data, sizes spread like a source tree's)
#   scripts/bench-corpus.py WORK many    WORK/many: 100,000 small files in 1,000 folders
import os, random, shutil, sys


def corpus(root):
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


def many(root):
    for i in range(100000):
        folder = os.path.join(root, 'p%03d' % (i // 1000), 'q%02d' % (i % 100 // 10))
        if i % 10 == 0:
            os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, 'entry%06d.txt' % i), 'w') as f:
            f.write('entry %d\n' % i)


work = sys.argv[1]
name = sys.argv[2] if len(sys.argv) > 2 else 'corpus'
root = os.path.join(work, name)
if not os.path.exists(root + '.done'):
    shutil.rmtree(root, ignore_errors=True)
    {'corpus': corpus, 'many': many}[name](root)
    open(root + '.done', 'w').close()
