#include <algorithm>
#include <string>

#include "db/gateway.h"
#include "db/server_transaction.h"
#include "project/run_lock.h"
#include "project/session.h"
#include "scoring/results.h"
#include "scoring/scoring.h"
#include "shell/numbers.h"
#include "training/training.h"

namespace tarne {

std::string PadField(const std::string& text, int width, int alignment) {
  if (width <= 0) return {};
  const size_t w = static_cast<size_t>(width);
  if (text.size() >= w) return text.substr(0, w);
  const std::string pad(w - text.size(), ' ');
  return alignment == 1 ? pad + text : text + pad;
}

bool ShowTopTokens(Session& session, TokenKind kind) {
  TopTokens top;
  if (!ReadTopTokens(session, kind, top)) return false;
  AppendTopTokens(session, top);
  return true;
}

bool ReadTopTokens(Session& session, TokenKind kind, TopTokens& top) {
  ScoringOptions& options = session.options;
  options.IncludeCommon = 1;
  options.IncludeStopWords = 1;
  // Every token is listed, the stop words among the others.
  options.StopWordsOnly = 0;
  options.SentenceArguments = 0;
  options.Stemmed = 0;
  options.CodeWords = kind == TokenKind::Words;
  options.CodePhrases = kind == TokenKind::Pairs;
  options.CodeArguments = kind == TokenKind::Arguments;
  const char* flag = kind == TokenKind::Pairs       ? "(isphrase)"
                     : kind == TokenKind::Arguments ? "(isarg)"
                                                    : "(isword)";

  top = TopTokens();
  top.project = session.settings.sname;
  top.kind = kind;
  top.groups = session.settings.Groups();
  top.groupNames = session.settings.groupNames;
  Database& db = session.db;
  // The list is read under the same hold of the project as the
  // recomputation it shows: another run in between would leave its own
  // options' probabilities and gains in the table.
  RunLock lock(session);
  if (!lock.Held()) return false;
  ServerTransaction work(db, ServerTransaction::Kind::kWrite);
  // A failed statement reads as an empty list: the rows count only when
  // every one of them was really read.
  const FailureWatch watch(db);
  if (kind != TokenKind::Words) {
    db.Statement(1, std::string("select count(*) from run1 where ") + flag);
    db.FetchResult(1, 0);
    const bool none = db.EndOfData(1) == 0 && db.ColumnUInt(1, 1) == 0;
    if (watch.Failed()) {
      session.ReportDatabaseFailure();
      return false;
    }
    if (none) {
      top.kindTrained = false;
      return true;
    }
  }
  std::string condition;
  top.recomputed = Recompute(session, condition, kind, false);
  if (watch.Failed()) {
    session.ReportDatabaseFailure();
    return false;
  }

  db.StatementMode(1, 100);
  db.Statement(1, std::string("select Vocab, v1,v2,v3,v4, v5, p1, p2, p3, p4, p5, entropy from "
                              "run1 where ") +
                      flag + " AND (entropy>0) ORDER BY entropy DESC, rowid");
  db.FetchResult(1, 0);
  for (int n = 1; db.EndOfData(1) == 0 && n <= 100; ++n) {
    TopToken row;
    row.token = db.ColumnText(1, 1);
    for (int g = 1; g <= 5; ++g) {
      row.count[g] = db.ColumnUInt(1, g + 1);
      row.p[g] = db.ColumnFloat(1, g + 6);
    }
    row.gain = db.ColumnFloat(1, 12);
    top.rows.push_back(std::move(row));
    db.FetchResult(1, 0);
  }
  db.StatementMode(1, 0);
  if (watch.Failed() || !work.Commit()) {
    session.ReportDatabaseFailure();
    return false;
  }
  return true;
}

void AppendTopTokens(Session& session, const TopTokens& top) {
  const char* title = top.kind == TokenKind::Pairs       ? "Top Phrases"
                      : top.kind == TokenKind::Arguments ? "Top Arguements"
                                                         : "Top Words";
  session.Append(std::string(title) + "\r\n");
  if (!top.kindTrained) {
    session.Append(top.kind == TokenKind::Pairs
                       ? "No word pairs are trained yet: tick Options > Allow Train Word Pairs, "
                         "then choose Train > Word Pairs.\r\n"
                       : "No arguments are trained yet: tick Options > Allow Train Arguments, "
                         "then choose Train > Arguments.\r\n");
    return;
  }

  const int groups = top.groups;
  std::string out;
  out.append("\r\n" + std::string(15, ' '));
  out.append(std::string(static_cast<size_t>(std::max(0, 8 * groups - 12)), ' '));
  out.append("Frequency  ");
  out.append(std::string(static_cast<size_t>(std::max(0, 8 * groups - 16)), ' '));
  out.append("  Probability     Adjusted");
  std::string line = "\r\n     term           ";
  for (int g = 1; g <= groups; ++g) line += PadField(PlainNumber(g), 6, 1);
  for (int g = 1; g <= groups; ++g) line += PadField(PlainNumber(g), 6, 1) + "  ";
  out.append(line + " Info Gain\r\n\r\n");

  int n = 0;
  for (const TopToken& row : top.rows) {
    line = PadField(PlainNumber(++n), 4, 1) + " " + PadField(row.token, 15, 0);
    for (int g = 1; g <= groups; ++g) line += PadField(PlainNumber(row.count[g]), 6, 1);
    for (int g = 1; g <= groups; ++g) line += PadField(FormatMask(row.p[g], ".#####"), 8, 1);
    line += PadField(FormatMask(row.gain, ".####"), 9, 1);
    out.append(line + "\r\n");
  }
  session.Append(out);
}

}  // namespace tarne
