#!/usr/bin/env python3
"""Lays out every essay of the ASAP collection as one project's training folders.

usage: pooled_folders.py ESSAYS_TSV OUTDIR [SETS]

Writes OUTDIR/train/g1/ .. g4/ (one plain-text file per essay, named after its
essay id) with every essay of sets 1-8: an essay goes into the group of its
own set's score quartile (scores up to the set's first quartile in g1, up to
the median in g2, up to the third quartile in g3, the rest in g4), so that
all sets share the same four groups.  Prints one line per group and a last
line "groups=4 train=N".  SETS (as "1,2,4") lays out those sets only; the
quartiles of a set are the same whichever sets are laid out with it.
"""
import csv
import os
import sys


def main():
    source, outdir = sys.argv[1], sys.argv[2]
    wanted = set(int(n) for n in sys.argv[3].split(",")) if len(sys.argv) > 3 else None
    csv.field_size_limit(1 << 30)
    by_set = {}
    with open(source, encoding="latin-1", newline="") as f:
        for row in csv.DictReader(f, delimiter="\t"):
            by_set.setdefault(int(row["essay_set"]), []).append(
                (int(row["essay_id"]), int(row["score"]), row["essay"].encode("latin-1")))
    counts = [0] * 5
    for set_no, essays in sorted(by_set.items()):
        if wanted is not None and set_no not in wanted:
            continue
        scores = sorted(score for _, score, _ in essays)
        n = len(scores)
        q1, q2, q3 = scores[n // 4], scores[n // 2], scores[(3 * n) // 4]
        for eid, score, text in essays:
            g = 1 if score <= q1 else 2 if score <= q2 else 3 if score <= q3 else 4
            d = os.path.join(outdir, "train", "g%d" % g)
            os.makedirs(d, exist_ok=True)
            with open(os.path.join(d, "%d.txt" % eid), "wb") as out:
                out.write(text)
            counts[g] += 1
    for g in range(1, 5):
        print("group %d: train %d" % (g, counts[g]))
    print("groups=4 train=%d" % sum(counts))


if __name__ == "__main__":
    main()
