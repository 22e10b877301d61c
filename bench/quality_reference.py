#!/usr/bin/env python3
"""Classification quality figures for bench/quality.sh.

usage: quality_reference.py log LOGFILE
       quality_reference.py sklearn FOLDERS GROUPS

log: reads a Tarne result log (the "group" and "pred_grp" columns) and prints
"ACCURACY QWK ESSAYS".  Needs nothing beyond Python.

sklearn: the best naive Bayes scikit-learn offers on the essays of
FOLDERS/train/gK/ and FOLDERS/trial/gK/ (K = 1..GROUPS, as asap-folders lays
them out).  MultinomialNB, BernoulliNB or ComplementNB, on CountVectorizer
words or words and pairs, with a smoothing from ALPHAS: the variant, the
features and the smoothing are chosen by 3-fold cross-validation on the
training essays alone (mean quadratic weighted kappa), then fitted on all
training essays and scored on the trial essays.  Prints
"ACCURACY QWK VARIANT FEATURES ALPHA".  Needs Debian's python3-sklearn.

Accuracy counts an essay without a prediction (group 0) as wrong; QWK is
quadratic weighted kappa over the groups that occur in the truth or the
predictions.
"""
import csv
import os
import sys

from essay_folders import read

ALPHAS = (0.01, 0.03, 0.1, 0.3, 1.0)


def qwk(truth, predicted):
    labels = sorted(set(truth) | set(predicted))
    if len(labels) < 2:
        return 0.0
    index = {g: i for i, g in enumerate(labels)}
    n = len(labels)
    observed = [[0] * n for _ in range(n)]
    for t, p in zip(truth, predicted):
        observed[index[t]][index[p]] += 1
    rows = [sum(r) for r in observed]
    cols = [sum(observed[i][j] for i in range(n)) for j in range(n)]
    total = float(len(truth))
    num = den = 0.0
    for i in range(n):
        for j in range(n):
            w = float(labels[i] - labels[j]) ** 2
            num += w * observed[i][j]
            den += w * rows[i] * cols[j] / total
    return 1.0 - num / den if den else 0.0


def accuracy(truth, predicted):
    return sum(int(t == p) for t, p in zip(truth, predicted)) / float(max(len(truth), 1))


def log_figures(path):
    truth, predicted = [], []
    with open(path, newline="", encoding="latin-1") as f:
        rows = csv.reader(f)
        header = next(rows)
        tg, pg = header.index("group"), header.index("pred_grp")
        for row in rows:
            if len(row) > pg:
                truth.append(int(row[tg]))
                predicted.append(int(row[pg]))
    print("%.4f %.4f %d" % (accuracy(truth, predicted), qwk(truth, predicted), len(truth)))


def sklearn_figures(folders, groups):
    from sklearn.feature_extraction.text import CountVectorizer
    from sklearn.model_selection import StratifiedKFold
    from sklearn.naive_bayes import BernoulliNB, ComplementNB, MultinomialNB

    variants = {"multinomial": MultinomialNB, "bernoulli": BernoulliNB, "complement": ComplementNB}
    features = {"words": (1, 1), "words+pairs": (1, 2)}
    train, train_y = read(os.path.join(folders, "train"), groups)
    trial, trial_y = read(os.path.join(folders, "trial"), groups)

    folds = list(StratifiedKFold(n_splits=3, shuffle=True, random_state=0).split(train, train_y))
    scores = {}
    for fname, ngrams in features.items():
        for fit_idx, test_idx in folds:
            vectors = CountVectorizer(ngram_range=ngrams)
            x_fit = vectors.fit_transform([train[i] for i in fit_idx])
            x_test = vectors.transform([train[i] for i in test_idx])
            y_fit = [train_y[i] for i in fit_idx]
            y_test = [train_y[i] for i in test_idx]
            for vname, variant in variants.items():
                for alpha in ALPHAS:
                    predicted = list(variant(alpha=alpha).fit(x_fit, y_fit).predict(x_test))
                    scores.setdefault((vname, fname, alpha), []).append(qwk(y_test, predicted))
    # Ties go to the first tried: words before pairs, then variant and
    # smoothing in the order listed.
    best = max(scores, key=lambda k: sum(scores[k]) / len(scores[k]))
    vname, fname, alpha = best
    vectors = CountVectorizer(ngram_range=features[fname])
    model = variants[vname](alpha=alpha).fit(vectors.fit_transform(train), train_y)
    predicted = list(model.predict(vectors.transform(trial)))
    print("%.4f %.4f %s %s %g" % (accuracy(trial_y, predicted), qwk(trial_y, predicted), vname,
                                  fname, alpha))


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "log":
        log_figures(sys.argv[2])
    elif len(sys.argv) == 4 and sys.argv[1] == "sklearn":
        sklearn_figures(sys.argv[2], int(sys.argv[3]))
    else:
        sys.stderr.write(__doc__)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main())
