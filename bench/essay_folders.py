"""The essays of a set laid out by asap-folders, for the reference scripts."""
import os


def read(folder, groups):
    """Texts and group numbers of FOLDER/g1 .. FOLDER/gGROUPS, in name order."""
    texts, labels = [], []
    for g in range(1, groups + 1):
        d = os.path.join(folder, "g%d" % g)
        for name in sorted(os.listdir(d)):
            with open(os.path.join(d, name), "rb") as f:
                texts.append(f.read().decode("latin-1"))
            labels.append(g)
    return texts, labels
