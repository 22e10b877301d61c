#!/usr/bin/env python3
"""The scikit-learn job that bench/compare.sh measures Tarne against.

usage: sklearn_reference.py FOLDERS GROUPS [--bernoulli]

Reads the essays of FOLDERS/train/gK/ and FOLDERS/trial/gK/ (K = 1..GROUPS),
as laid out by asap-folders, fits CountVectorizer(ngram_range=(1, 2)) with
MultinomialNB on the training essays and predicts the trial essays; with
--bernoulli it then also fits CountVectorizer(binary) on words with
BernoulliNB and predicts the trial essays again.  Prints each accuracy.
"""
import os
import sys

from sklearn.feature_extraction.text import CountVectorizer
from sklearn.naive_bayes import BernoulliNB, MultinomialNB

from essay_folders import read


def accuracy(predicted, labels):
    return 100.0 * sum(int(p == t) for p, t in zip(predicted, labels)) / max(len(labels), 1)


def main():
    folders, groups = sys.argv[1], int(sys.argv[2])
    train, train_y = read(os.path.join(folders, "train"), groups)
    trial, trial_y = read(os.path.join(folders, "trial"), groups)

    vectors = CountVectorizer(ngram_range=(1, 2))
    model = MultinomialNB().fit(vectors.fit_transform(train), train_y)
    print("multinomial words+pairs %.1f%%" % accuracy(model.predict(vectors.transform(trial)), trial_y))

    if "--bernoulli" in sys.argv[3:]:
        words = CountVectorizer(binary=True)
        model = BernoulliNB().fit(words.fit_transform(train), train_y)
        print("bernoulli words %.1f%%" % accuracy(model.predict(words.transform(trial)), trial_y))


if __name__ == "__main__":
    main()
