#include <cstdint>
#include <ctime>
#include <string>

#include "db/gateway.h"
#include "project/session.h"
#include "scoring/scoring.h"
#include "shell/log_file.h"
#include "shell/numbers.h"

namespace tarne {

namespace {

const char* const kCount = "* ###,###";
const char* const kFlags[3] = {"isword", "isphrase", "isarg"};

struct Pair {
  std::uint32_t first = 0;
  std::uint32_t second = 0;
};

Pair ReadPair(Database& db, const std::string& sql) {
  db.Statement(1, sql);
  db.FetchResult(1, 0);
  return {db.ColumnUInt(1, 1), db.ColumnUInt(1, 2)};
}

std::uint32_t ReadCount(Database& db, const std::string& sql) {
  db.Statement(1, sql);
  db.FetchResult(1, 0);
  return db.ColumnUInt(1, 1);
}

// One row of a table section: three kinds (total and distinct) and the combined pair.
void AppendKindRow(std::string& out, const std::string& label, const Pair (&kinds)[3]) {
  std::string row = label;
  double total = 0, unique = 0;
  for (const Pair& p : kinds) {
    row += FormatMask(p.first, kCount) + FormatMask(p.second, kCount) + "     ";
    total += p.first;
    unique += p.second;
  }
  row += FormatMask(total, kCount) + FormatMask(unique, kCount) + "\r\n";
  out.append(row);
}

void AppendTableSection(Session& session, std::string& out, const std::string& table) {
  Database& db = session.db;
  Pair kinds[3];
  for (int k = 0; k < 3; ++k)
    kinds[k] = ReadPair(db, std::string("select sum(v1+v2+v3+v4+v5), count(") + kFlags[k] +
                                ") from " + table + " where " + kFlags[k] + "=1");
  AppendKindRow(out, " Total     ", kinds);
  for (int g = 1; g <= session.settings.Groups(); ++g) {
    const std::string v = "v" + TrimmedNumber(g);
    for (int k = 0; k < 3; ++k)
      kinds[k] = ReadPair(db, "select sum(" + v + "), count(" + v + ") FROM " + table +
                                  " where " + kFlags[k] + "=1 and " + v + " > 0");
    AppendKindRow(out, " Group" + PlainNumber(g) + "   ", kinds);
  }
}

void AppendRareLines(Session& session, std::string& out, const std::string& table, const std::string& essays,
                     const char* const (&labels)[4]) {
  Database& db = session.db;
  const char* const kinds[3] = {" and isword=1", " and isphrase=1", " and isarg=1"};
  double sum = 0;
  std::string text;
  for (int k = 0; k < 3; ++k) {
    std::uint32_t n =
        ReadCount(db, "select count(vocab) FROM " + table + " where 1000*(v1+v2+v3+v4+v5)/" +
                          essays + "<" + PlainNumber(session.settings.rare) + kinds[k]);
    sum += n;
    text += std::string(labels[k]) + FormatMask(n, "* ###,###,###") + "\r\n";
  }
  text += std::string(labels[3]) + FormatMask(sum, "* ###,###,###") + "\r\n\r\n";
  out.append(text);
}

}  // namespace

bool ShowDatabaseStatistics(Session& session) {
  return ShowDatabaseStatistics(session, std::time(nullptr));
}

bool ShowDatabaseStatistics(Session& session, std::time_t now) {
  Database& db = session.db;
  // A statement that fails reads as zero: the report is made whole first
  // and shown only when every count in it was really read.
  const FailureWatch watch(db);
  std::string out;
  const ProjectSettings& settings = session.settings;
  const int groups = settings.Groups();

  out.append("Database Statistics  Project " + settings.sname + "  " + LocalTimestamp(now) +
                 "\r\n\r\n");
  out.append("Files read:\r\n");
  std::string line = std::string(10, ' ') + "   Total";
  for (int g = 1; g <= groups; ++g) line += "   Grp" + PlainNumber(g);
  out.append(line + "\r\n");

  db.StatementMode(1, 1);
  db.Statement(1, "select g1, g2, g3, g4, g5  from trainsize");
  db.FetchResult(1, 0);
  std::uint32_t trained[6] = {0, 0, 0, 0, 0, 0};
  double total = 0;
  for (int g = 1; g <= 5; ++g) {
    trained[g] = db.ColumnUInt(1, g);
    total += trained[g];
  }
  db.StatementMode(1, 0);
  line = std::string(10, ' ') + FormatMask(total, kCount);
  for (int g = 1; g <= groups; ++g) line += FormatMask(trained[g], kCount);
  out.append(line + "\r\n\r\n");

  out.append("Unstemmed words and phrases\r\n");
  out.append(
      "             Unstemmed Words    Unstemmed Phrases   Unstemmed Arguments       Combined\r\n");
  out.append(
      "              Total  Unique        Total  Unique        Total  Unique        Total  "
      "Unique\r\n\r\n");
  AppendTableSection(session, out, "run1");
  out.append("\r\n\r\n");

  out.append("Stemmed words and phrases\r\n");
  out.append(
      "              Stemmed Words       Stemmed Phrases    Stemmed Arguments        Combined\r\n");
  out.append(
      "              Total  Unique        Total  Unique        Total  Unique        Total  "
      "Unique\r\n\r\n");
  AppendTableSection(session, out, "stem");
  out.append("\r\n");

  out.append("Number of rare tokens (occurs less than" + FormatMask(settings.rare, "* ###.#") +
                 " times per 1000):\r\n");
  const std::string essays =
      PlainNumber(ReadCount(db, "Select sum(g1+g2+g3+g4+g5) from trainsize"));
  const char* const unstemmed[4] = {"   unstemmed words:    ", "   unstemmed phrases:  ",
                                    "   unstemmed arguments:", "   unstemmed total:    "};
  const char* const stemmed[4] = {"   stemmed words:      ", "   stemmed phrases:    ",
                                  "   stemmed arguments:  ", "   stemmed total:      "};
  AppendRareLines(session, out, "run1", essays, unstemmed);
  AppendRareLines(session, out, "stem", essays, stemmed);

  out.append("Number of common terms (occurs" + FormatMask(settings.common, "* #####") +
                 " times per 1000 or more):\r\n");
  const std::string common = ">=" + PlainNumber(settings.common);
  std::uint32_t n = ReadCount(
      db, "select count(vocab) FROM run1 where 1000*(v1+v2+v3+v4+v5)/" + essays + common);
  std::string text = "   unstemmed: " + FormatMask(n, kCount) + "\r\n";
  n = ReadCount(db, "select count(vocab) FROM stem where 1000*(v1+v2+v3+v4+v5)/" + essays + common);
  text += "   stemmed:   " + FormatMask(n, kCount) + "\r\n\r\n";
  out.append(text);

  out.append("Number of stop words: ");
  n = ReadCount(db, "select count(vocab) FROM run1 where isstop=1");
  out.append(FormatMask(n, kCount) + " (unstemmed)\r\n");
  if (watch.Failed()) {
    session.ReportDatabaseFailure();
    return false;
  }
  session.Append(out);
  return true;
}

}  // namespace tarne
