#!/usr/bin/env python3
"""scikit-learn's GridSearchCV over the grid `tarne-cli evaluate` tries.

usage: evaluate_sklearn.py FOLDERS GROUPS

Reads FOLDERS/train/gK/ and FOLDERS/trial/gK/ (as asap-folders lays them
out), searches CountVectorizer + MultinomialNB or BernoulliNB over the same
64 settings (words or words and word pairs; alpha 1, .3, .1, .03; rare
tokens kept or dropped as those in fewer than 4% of the essays; uniform
priors or priors from training) with 5 stratified shuffled folds scored by
quadratic weighted kappa, then scores the trial essays with the best.
"""
import os
import sys
import time

from sklearn.feature_extraction.text import CountVectorizer
from sklearn.metrics import accuracy_score, cohen_kappa_score, make_scorer
from sklearn.model_selection import GridSearchCV, StratifiedKFold
from sklearn.naive_bayes import BernoulliNB, MultinomialNB
from sklearn.pipeline import Pipeline

from essay_folders import read


def main():
    folders, groups = sys.argv[1], int(sys.argv[2])
    train, train_y = read(os.path.join(folders, "train"), groups)
    trial, trial_y = read(os.path.join(folders, "trial"), groups)
    common = {"vec__ngram_range": [(1, 1), (1, 2)], "vec__min_df": [1, 0.04],
              "nb__alpha": [1, 0.3, 0.1, 0.03], "nb__fit_prior": [False, True]}
    grid = [dict(common, nb=[MultinomialNB()], vec__binary=[False]),
            dict(common, nb=[BernoulliNB()], vec__binary=[True])]
    pipe = Pipeline([("vec", CountVectorizer()), ("nb", MultinomialNB())])
    qwk = make_scorer(cohen_kappa_score, weights="quadratic")
    search = GridSearchCV(pipe, grid, scoring=qwk, n_jobs=1,
                          cv=StratifiedKFold(5, shuffle=True, random_state=1))
    start = time.perf_counter()
    search.fit(train, train_y)
    seconds = time.perf_counter() - start
    p = search.best_params_
    predicted = search.predict(trial)
    print("sklearn search:  %6.1f s  best %s, %s, alpha %g, rare %s, priors %s"
          % (seconds, type(p["nb"]).__name__.replace("NB", "").lower(),
             "words" if p["vec__ngram_range"] == (1, 1) else "words+pairs", p["nb__alpha"],
             "in" if p["vec__min_df"] == 1 else "out",
             "training" if p["nb__fit_prior"] else "uniform"))
    print("  cv mean QWK %.3f; trial QWK %.3f, accuracy %.1f%%"
          % (search.best_score_, cohen_kappa_score(trial_y, predicted, weights="quadratic"),
             100 * accuracy_score(trial_y, predicted)))


if __name__ == "__main__":
    main()
