#include <algorithm>
#include <string>

#include "db/gateway.h"
#include "project/session.h"
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

bool ShowTopTokens(Session& session, int command) {
  ScoringOptions& options = session.options;
  options.IncludeCommon = 1;
  options.IncludeStopWords = 1;
  // Every token is listed, the stop words among the others.
  options.StopWordsOnly = 0;
  options.CodeWords = 0;
  options.CodePhrases = 0;
  options.CodeArguments = 0;
  options.SentenceArguments = 0;
  options.Stemmed = 0;
  int kind = 1;
  const char* title = "Top Words";
  const char* flag = "(isword)";
  switch (command) {
    case 71:
      kind = 2;
      options.CodePhrases = 1;
      title = "Top Phrases";
      flag = "(isphrase)";
      break;
    case 73:
      kind = 3;
      options.CodeArguments = 1;
      title = "Top Arguements";
      flag = "(isarg)";
      break;
    default:
      options.CodeWords = 1;
      break;
  }

  Database& db = session.db;
  // A failed statement reads as an empty list: the table is shown only when
  // every row of it was really read.
  const FailureWatch watch(db);
  std::string condition;
  Recompute(session, condition, kind, 0);
  if (watch.Failed()) {
    session.ReportDatabaseFailure();
    return false;
  }
  session.Append(std::string(title) + "\r\n");

  const int groups = session.settings.Groups();
  db.StatementMode(1, 100);
  db.Statement(1, std::string("select Vocab, v1,v2,v3,v4, v5, p1, p2, p3, p4, p5, entropy from "
                              "run1 where ") +
                      flag + " AND (entropy>0) ORDER BY entropy DESC");
  db.FetchResult(1, 0);

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

  for (int n = 1; db.EndOfData(1) == 0 && n <= 100; ++n) {
    line = PadField(PlainNumber(n), 4, 1) + " " + PadField(db.ColumnText(1, 1), 15, 0);
    for (int g = 1; g <= groups; ++g) line += PadField(PlainNumber(db.ColumnUInt(1, g + 1)), 6, 1);
    for (int g = 1; g <= groups; ++g)
      line += PadField(FormatMask(db.ColumnFloat(1, g + 6), ".#####"), 8, 1);
    line += PadField(FormatMask(db.ColumnFloat(1, 12), ".####"), 9, 1);
    out.append(line + "\r\n");
    db.FetchResult(1, 0);
  }
  db.StatementMode(1, 0);
  if (watch.Failed()) {
    session.ReportDatabaseFailure();
    return false;
  }
  session.Append(out);
  return true;
}

}  // namespace tarne
