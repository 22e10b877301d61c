#!/usr/bin/env python3
"""Turns the essays of a folder tree into essays of long sentences.

usage: long_sentences.py FOLDER

Rewrites every file under FOLDER in place: of every three full stops the
first two become commas, so that each three sentences are one.  Made for
pooled_folders.py's layout of sets 1 and 8, the longest essays, to give the
argument training its worst case: n frequent words in one sentence give
n(n-1)/2 arguments.
"""
import os
import sys


def join_sentences(text):
    out = bytearray()
    stops = 0
    for byte in text:
        if byte == ord("."):
            stops += 1
            if stops % 3 != 0:
                byte = ord(",")
        out.append(byte)
    return bytes(out)


def main():
    for folder, _, files in os.walk(sys.argv[1]):
        for name in files:
            path = os.path.join(folder, name)
            with open(path, "rb") as f:
                text = f.read()
            with open(path, "wb") as f:
                f.write(join_sentences(text))


if __name__ == "__main__":
    main()
