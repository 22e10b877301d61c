#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "db/gateway.h"
#include "project/session.h"
#include "scoring/kind_model.h"
#include "scoring/scoring.h"
#include "shell/numbers.h"
#include "text/essay_words.h"
#include "text/tokenizer.h"
#include "training/model_settings.h"
#include "training/essay_tokens.h"
#include "training/training.h"

namespace tarne {

namespace {

void AppendListing(Session& session, const std::string& table, const std::string& condition,
                   std::string& listing) {
  Database& db = session.db;
  const int groups = session.settings.Groups();
  db.StatementMode(1, 50);
  db.Statement(1, "select vocab, sum, p1,p2,p3,p4,p5 from " + table + " where thisessay>0" +
                      " AND " + condition + " ORDER BY ENTROPY desc, thisessay, rowid");
  listing += "Token                       Freq/1000          Odds for Group\r\n";
  listing += std::string(38, ' ');
  for (int g = 1; g <= groups; ++g) listing += "  " + FormatMask(g, "   ##") + "  ";
  listing += "\r\n";
  db.FetchResult(1, 0);
  for (int row = 1; row <= 49 && db.EndOfData(1) == 0; ++row) {
    double p[6] = {0, 0, 0, 0, 0, 0};
    double total = 0;
    for (int g = 1; g <= groups; ++g) {
      p[g] = db.ColumnFloat(1, g + 2);
      if (p[g] > 0) total += p[g];
    }
    std::string token = db.ColumnText(1, 1);
    token.resize(29, ' ');
    listing += token;
    listing += FormatMask(db.ColumnFloat(1, 2), "* ####.##") + "    ";
    for (int g = 1; g <= groups; ++g) {
      // Recomputed probabilities are always positive; a row without any
      // shows 0 rather than a division by zero.
      double odds = total > 0 ? p[g] * 100 / total : 0;
      listing += ' ';
      listing += FormatMask(odds, "* ####.#");
      listing += '%';
    }
    listing += "\r\n";
    db.FetchResult(1, 0);
  }
  db.StatementMode(1, 0);
}

void Normalise(GroupScores& scores, int groups) {
  long double total = 0;
  for (int g = 1; g <= groups; ++g) total += scores.value[g];
  if (total > 0)
    for (int g = 1; g <= groups; ++g) scores.value[g] /= total;
}

// Every kind whose flag is set scores the essay from the priors on; the
// kinds' scores are multiplied and the product normalised into scores.
void CombineKinds(const Session& session, const std::vector<double>& priors, const int flags[4],
                  GroupScores& scores,
                  const std::function<void(int kind, GroupScores& kindScores)>& scoreKind) {
  const int groups = session.settings.Groups();
  GroupScores combined;
  for (int g = 1; g <= groups; ++g) combined.value[g] = 1.0L;
  for (int kind = 1; kind <= 3; ++kind) {
    if (!flags[kind]) continue;
    GroupScores kindScores;
    for (int g = 1; g <= groups && g <= static_cast<int>(priors.size()); ++g)
      kindScores.value[g] = priors[g - 1];
    scoreKind(kind, kindScores);
    for (int g = 1; g <= groups; ++g) combined.value[g] *= kindScores.value[g];
    KeepScoresInRange(combined, groups);
  }
  scores = GroupScores();
  for (int g = 1; g <= groups; ++g) scores.value[g] = combined.value[g];
  Normalise(scores, groups);
}

}  // namespace

void Rebase(long double& mantissa, long& exponent) {
  int e = 0;
  mantissa = std::frexp(mantissa, &e);
  exponent += e;
}

void KeepScoresInRange(GroupScores& scores, int groups) {
  long double largest = 0;
  for (int g = 1; g <= groups; ++g)
    if (scores.value[g] > largest) largest = scores.value[g];
  if (largest > 0 && largest < kScoreFloor)
    for (int g = 1; g <= groups; ++g) scores.value[g] /= largest;
}

void WriteEssayMarks(Session& session, const std::string& text, int kind) {
  const bool stemmed = session.options.Stemmed == 1;
  std::string normal = text;
  NormalizeEssayText(normal);
  MarkEssayTokens(session.db, stemmed ? "stem" : "run1", kind, stemmed, session.settings.rules,
                  normal);
}

void ScoreEssay(Session& session, const std::string& text, const std::string& condition, int kind,
                std::string& listing, int showTokens, GroupScores& scores) {
  WriteEssayMarks(session, text, kind);
  if (showTokens == 1) {
    AppendListing(session, session.options.Stemmed == 1 ? "stem" : "run1", condition, listing);
  } else {
    listing.clear();
    session.db.StatementMode(1, 0);
  }
  KindModel(session, kind, condition).Score(text, scores);
}

ScoringRun::ScoringRun(Session& session)
    : session_(session), priors_(ScoringPriors(session)) {}
ScoringRun::~ScoringRun() = default;

void ScoringRun::Prepare(const int flags[4]) {
  for (int kind = 1; kind <= 3; ++kind) {
    if (!flags[kind] || models_[kind]) continue;
    std::string condition;
    Recompute(session_, condition, KindOf(kind), true);
    models_[kind] = std::make_unique<KindModel>(session_, kind, condition);
  }
}

void ScoringRun::Classify(const std::string& text, const int flags[4], ScoringScratch& scratch,
                          GroupScores& scores) const {
  // Every model of a run counts the same form of the essay (stemmed or
  // not, under the project's rules), so it is cut once for all kinds.
  bool cut = false;
  CombineKinds(session_, priors_, flags, scores, [&](int kind, GroupScores& kindScores) {
    const KindModel& model = *models_[kind];
    if (!cut) {
      scratch.normal.assign(text);
      NormalizeEssayText(scratch.normal);
      const bool stemmed = model.Stemmed();
      CutEssay(scratch.normal, session_.settings.rules, stemmed ? nullptr : &scratch.words,
               stemmed ? &scratch.words : nullptr, scratch.stems);
      cut = true;
    }
    model.ScoreCut(scratch.words, kindScores, scratch.kinds[kind]);
  });
}

bool ScoringRun::Ready(const int flags[4]) const {
  for (int kind = 1; kind <= 3; ++kind)
    if (flags[kind] && !models_[kind]) return false;
  return true;
}

void ScoringRun::Scored(std::string text, const int flags[4]) {
  for (int kind = 3; kind >= 1; --kind) {
    if (!flags[kind]) continue;
    lastText_ = std::move(text);
    lastKind_ = kind;
    return;
  }
}

void ScoringRun::Adopt(int kind, std::unique_ptr<KindModel> model) {
  models_[kind] = std::move(model);
}

void ScoringRun::Finish() {
  if (lastKind_ == 0) return;
  Database& db = session_.db;
  const bool ownTransaction = db.IsOpen() && !db.InTransaction() && db.Begin();
  WriteEssayMarks(session_, lastText_, lastKind_);
  if (ownTransaction) db.Commit();
  lastKind_ = 0;
}

void ClassifyEssay(Session& session, const std::string& text, int words, int phrases,
                   int arguments, int showTokens, std::string& listing, GroupScores& scores) {
  Database& db = session.db;
  // The thisessay marks are writes; one transaction per essay keeps them
  // from being synced statement by statement.
  const bool ownTransaction = db.IsOpen() && !db.InTransaction() && db.Begin();
  const int flags[4] = {0, words, phrases, arguments};
  const std::vector<double> priors = ScoringPriors(session);
  CombineKinds(session, priors, flags, scores, [&](int kind, GroupScores& kindScores) {
    std::string condition;
    Recompute(session, condition, KindOf(kind), true);
    ScoreEssay(session, text, condition, kind, listing, showTokens, kindScores);
  });
  if (ownTransaction) db.Commit();
}

}  // namespace tarne
