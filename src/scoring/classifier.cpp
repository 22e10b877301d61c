#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "db/gateway.h"
#include "project/session.h"
#include "scoring/kind_model.h"
#include "scoring/scoring.h"
#include "shell/numbers.h"
#include "text/tokenizer.h"
#include "training/model_settings.h"
#include "training/training.h"

namespace tarne {

namespace {

const char* KindFilter(int kind) {
  switch (kind) {
    case 2: return " AND IsPhrase=1";
    case 3: return " AND IsArg=1";
    default: return " AND IsWord=1";
  }
}

// The quoted list of the known tokens among list, each once.
std::string FoundTokens(Database& db, const std::string& table, const std::string& list,
                        const char* filter) {
  db.Statement(1, "SELECT Distinct Vocab FROM " + table + " WHERE Vocab in (" + list + ")" +
                      filter);
  std::string found;
  db.FetchResult(1, 0);
  while (db.EndOfData(1) == 0) {
    found += "'" + db.ColumnText(1, 1) + "',";
    db.FetchResult(1, 0);
  }
  if (!found.empty()) found.pop_back();
  return found;
}

std::vector<std::string> Entries(const std::string& list) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start < list.size()) {
    size_t comma = list.find(',', start);
    if (comma == std::string::npos) comma = list.size();
    out.push_back(list.substr(start, comma - start));
    start = comma + 1;
  }
  return out;
}

// Counts one sentence's tokens into thisessay: each pass marks every known
// token once and takes one occurrence of it out of the list, so a token
// listed k times is counted k times.
void MarkSentence(Database& db, const std::string& table, std::string list, int kind) {
  const char* filter = KindFilter(kind);
  int passes = 0;
  while (true) {
    std::string found = FoundTokens(db, table, list, filter);
    if (!found.empty())
      db.Statement(1, "Update " + table + " set thisessay= thisessay +1 " + "WHERE Vocab IN (" +
                          found + ")" + filter);
    list += ",";
    for (const std::string& token : Entries(found)) {
      size_t at = list.find(token + ",");
      if (at != std::string::npos) list.erase(at, token.size() + 1);
    }
    if (!list.empty() && list.back() == ',') list.pop_back();
    ++passes;
    if (found.empty() || list.empty() || passes > 100) break;
  }
}

void AppendListing(Session& session, const std::string& table, const std::string& condition,
                   std::string& listing) {
  Database& db = session.db;
  const int groups = session.settings.Groups();
  db.StatementMode(1, 50);
  db.Statement(1, "select vocab, sum, p1,p2,p3,p4,p5 from " + table + " where thisessay>0" +
                      " AND " + condition + " ORDER BY ENTROPY desc");
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
      listing += " " + FormatMask(odds, "* ####.#") + "%";
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

void KeepScoresInRange(GroupScores& scores, int groups) {
  long double largest = 0;
  for (int g = 1; g <= groups; ++g)
    if (scores.value[g] > largest) largest = scores.value[g];
  if (largest > 0 && largest < kScoreFloor)
    for (int g = 1; g <= groups; ++g) scores.value[g] /= largest;
}

void WriteEssayMarks(Session& session, const std::string& text, int kind) {
  Database& db = session.db;
  const bool stemmed = session.options.Stemmed == 1;
  const std::string table = stemmed ? "stem" : "run1";
  std::string normal = text;
  NormalizeEssayText(normal);
  db.Statement(1, "Update " + table + " set thisessay=0 where thisessay<>0");
  const CountingRules& rules = session.settings.rules;
  for (std::string_view sentence : SplitSentences(normal)) {
    std::string list = BuildSentenceTokenList(sentence, kind, stemmed, rules.minWordLength);
    if (kind == 3 && list.size() > 4) list = BuildArguments(session, list, stemmed ? 1 : 2);
    // Training stops counting at the first sentence without tokens, or under
    // the project's rules skips it; scoring must see the same tokens.
    if (list.size() < 3) {
      if (rules.allSentences) continue;
      break;
    }
    MarkSentence(db, table, list, kind);
  }
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

void ScoringRun::Classify(const std::string& text, int words, int phrases, int arguments,
                          GroupScores& scores) {
  const int flags[4] = {0, words, phrases, arguments};
  CombineKinds(session_, priors_, flags, scores, [&](int kind, GroupScores& kindScores) {
    if (!models_[kind]) {
      std::string condition;
      Recompute(session_, condition, kind, 1);
      models_[kind] = std::make_unique<KindModel>(session_, kind, condition);
    }
    models_[kind]->Score(text, kindScores);
    lastText_ = text;
    lastKind_ = kind;
  });
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
    Recompute(session, condition, kind, 1);
    ScoreEssay(session, text, condition, kind, listing, showTokens, kindScores);
  });
  if (ownTransaction) db.Commit();
}

}  // namespace tarne
