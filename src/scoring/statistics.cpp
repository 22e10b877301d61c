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
void AppendKindRow(Session& session, const std::string& label, const Pair (&kinds)[3]) {
  std::string row = label;
  double total = 0, unique = 0;
  for (const Pair& p : kinds) {
    row += FormatMask(p.first, kCount) + FormatMask(p.second, kCount) + "     ";
    total += p.first;
    unique += p.second;
  }
  row += FormatMask(total, kCount) + FormatMask(unique, kCount) + "\r\n";
  session.Append(row);
}

void AppendTableSection(Session& session, const std::string& table) {
  Database& db = session.db;
  Pair kinds[3];
  for (int k = 0; k < 3; ++k)
    kinds[k] = ReadPair(db, std::string("select sum(v1+v2+v3+v4+v5), count(") + kFlags[k] +
                                ") from " + table + " where " + kFlags[k] + "=1");
  AppendKindRow(session, " Total     ", kinds);
  for (int g = 1; g <= session.settings.Groups(); ++g) {
    const std::string v = "v" + TrimmedNumber(g);
    for (int k = 0; k < 3; ++k)
      kinds[k] = ReadPair(db, "select sum(" + v + "), count(" + v + ") FROM " + table +
                                  " where " + kFlags[k] + "=1 and " + v + " > 0");
    AppendKindRow(session, " Group" + PlainNumber(g) + "   ", kinds);
  }
}

void AppendRareLines(Session& session, const std::string& table, const std::string& essays,
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
  session.Append(text);
}

}  // namespace

void ShowDatabaseStatistics(Session& session) { ShowDatabaseStatistics(session, std::time(nullptr)); }

void ShowDatabaseStatistics(Session& session, std::time_t now) {
  Database& db = session.db;
  const ProjectSettings& settings = session.settings;
  const int groups = settings.Groups();

  session.Append("Database Statistics  Project " + settings.sname + "  " + LocalTimestamp(now) +
                 "\r\n\r\n");
  session.Append("Files read:\r\n");
  std::string line = std::string(10, ' ') + "   Total";
  for (int g = 1; g <= groups; ++g) line += "   Grp" + PlainNumber(g);
  session.Append(line + "\r\n");

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
  session.Append(line + "\r\n\r\n");

  session.Append("Unstemmed words and phrases\r\n");
  session.Append(
      "             Unstemmed Words    Unstemmed Phrases   Unstemmed Arguments       Combined\r\n");
  session.Append(
      "              Total  Unique        Total  Unique        Total  Unique        Total  "
      "Unique\r\n\r\n");
  AppendTableSection(session, "run1");
  session.Append("\r\n\r\n");

  session.Append("Stemmed words and phrases\r\n");
  session.Append(
      "              Stemmed Words       Stemmed Phrases    Stemmed Arguments        Combined\r\n");
  session.Append(
      "              Total  Unique        Total  Unique        Total  Unique        Total  "
      "Unique\r\n\r\n");
  AppendTableSection(session, "stem");
  session.Append("\r\n");

  session.Append("Number of rare tokens (occurs less than" + FormatMask(settings.rare, "* ###.#") +
                 " times per 1000):\r\n");
  const std::string essays =
      PlainNumber(ReadCount(db, "Select sum(g1+g2+g3+g4+g5) from trainsize"));
  const char* const unstemmed[4] = {"   unstemmed words:    ", "   unstemmed phrases:  ",
                                    "   unstemmed arguments:", "   unstemmed total:    "};
  const char* const stemmed[4] = {"   stemmed words:      ", "   stemmed phrases:    ",
                                  "   stemmed arguments:  ", "   stemmed total:      "};
  AppendRareLines(session, "run1", essays, unstemmed);
  AppendRareLines(session, "stem", essays, stemmed);

  session.Append("Number of common terms (occurs" + FormatMask(settings.common, "* #####") +
                 " times per 1000 or more):\r\n");
  const std::string common = ">=" + PlainNumber(settings.common);
  std::uint32_t n = ReadCount(
      db, "select count(vocab) FROM run1 where 1000*(v1+v2+v3+v4+v5)/" + essays + common);
  std::string text = "   unstemmed: " + FormatMask(n, kCount) + "\r\n";
  n = ReadCount(db, "select count(vocab) FROM stem where 1000*(v1+v2+v3+v4+v5)/" + essays + common);
  text += "   stemmed:   " + FormatMask(n, kCount) + "\r\n\r\n";
  session.Append(text);

  session.Append("Number of stop words: ");
  n = ReadCount(db, "select count(vocab) FROM run1 where isstop=1");
  session.Append(FormatMask(n, kCount) + " (unstemmed)\r\n");
}

}  // namespace tarne
