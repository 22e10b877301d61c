#include <cstdint>
#include <ctime>
#include <string>

#include "db/gateway.h"
#include "project/session.h"
#include "scoring/results.h"
#include "scoring/scoring.h"
#include "shell/log_file.h"
#include "shell/numbers.h"

namespace tarne {

namespace {

const char* const kCount = "* ###,###";
const char* const kFlags[3] = {"isword", "isphrase", "isarg"};

KindCounts ReadPair(Database& db, const std::string& sql) {
  db.Statement(1, sql);
  db.FetchResult(1, 0);
  return {db.ColumnUInt(1, 1), db.ColumnUInt(1, 2)};
}

std::uint32_t ReadCount(Database& db, const std::string& sql) {
  db.Statement(1, sql);
  db.FetchResult(1, 0);
  return db.ColumnUInt(1, 1);
}

void ReadTable(Database& db, const std::string& table, int groups, const std::string& essays,
               const ProjectSettings& settings, TableStatistics& out) {
  for (int k = 0; k < 3; ++k)
    out.kinds[0][k] = ReadPair(db, std::string("select sum(v1+v2+v3+v4+v5), count(") +
                                       kFlags[k] + ") from " + table + " where " + kFlags[k] +
                                       "=1");
  for (int g = 1; g <= groups; ++g) {
    const std::string v = "v" + TrimmedNumber(g);
    for (int k = 0; k < 3; ++k)
      out.kinds[g][k] = ReadPair(db, "select sum(" + v + "), count(" + v + ") FROM " + table +
                                         " where " + kFlags[k] + "=1 and " + v + " > 0");
  }
  const char* const kinds[3] = {" and isword=1", " and isphrase=1", " and isarg=1"};
  for (int k = 0; k < 3; ++k)
    out.rare[k] =
        ReadCount(db, "select count(vocab) FROM " + table + " where 1000*(v1+v2+v3+v4+v5)/" +
                          essays + "<" + PlainNumber(settings.rare) + kinds[k]);
  out.common = ReadCount(db, "select count(vocab) FROM " + table +
                                 " where 1000*(v1+v2+v3+v4+v5)/" + essays + ">=" +
                                 PlainNumber(settings.common));
}

// One row of a table section: three kinds (total and distinct) and the combined pair.
void AppendKindRow(Session& session, const std::string& label, const KindCounts (&kinds)[3]) {
  std::string row = label;
  double total = 0, unique = 0;
  for (const KindCounts& p : kinds) {
    row += FormatMask(p.total, kCount) + FormatMask(p.distinct, kCount) + "     ";
    total += p.total;
    unique += p.distinct;
  }
  row += FormatMask(total, kCount) + FormatMask(unique, kCount) + "\r\n";
  session.Append(row);
}

void AppendTableSection(Session& session, const TableStatistics& table, int groups) {
  AppendKindRow(session, " Total     ", table.kinds[0]);
  for (int g = 1; g <= groups; ++g)
    AppendKindRow(session, " Group" + PlainNumber(g) + "   ", table.kinds[g]);
}

void AppendRareLines(Session& session, const TableStatistics& table,
                     const char* const (&labels)[4]) {
  double sum = 0;
  std::string text;
  for (int k = 0; k < 3; ++k) {
    sum += table.rare[k];
    text += std::string(labels[k]) + FormatMask(table.rare[k], "* ###,###,###") + "\r\n";
  }
  text += std::string(labels[3]) + FormatMask(sum, "* ###,###,###") + "\r\n\r\n";
  session.Append(text);
}

}  // namespace

void ShowDatabaseStatistics(Session& session) { ShowDatabaseStatistics(session, std::time(nullptr)); }

void ShowDatabaseStatistics(Session& session, std::time_t now) {
  AppendDatabaseStatistics(session, ReadDatabaseStatistics(session, now));
}

DatabaseStatistics ReadDatabaseStatistics(Session& session, std::time_t now) {
  Database& db = session.db;
  const ProjectSettings& settings = session.settings;
  DatabaseStatistics stats;
  stats.project = settings.sname;
  stats.when = now;
  stats.groups = settings.Groups();
  stats.rare = settings.rare;
  stats.common = settings.common;

  db.StatementMode(1, 1);
  db.Statement(1, "select g1, g2, g3, g4, g5  from trainsize");
  db.FetchResult(1, 0);
  for (int g = 1; g <= 5; ++g) stats.trained[g] = db.ColumnUInt(1, g);
  db.StatementMode(1, 0);

  const std::string essays =
      PlainNumber(ReadCount(db, "Select sum(g1+g2+g3+g4+g5) from trainsize"));
  ReadTable(db, "run1", stats.groups, essays, settings, stats.unstemmed);
  ReadTable(db, "stem", stats.groups, essays, settings, stats.stemmed);
  stats.stopWords = ReadCount(db, "select count(vocab) FROM run1 where isstop=1");
  return stats;
}

void AppendDatabaseStatistics(Session& session, const DatabaseStatistics& stats) {
  const int groups = stats.groups;
  session.Append("Database Statistics  Project " + stats.project + "  " +
                 LocalTimestamp(stats.when) + "\r\n\r\n");
  session.Append("Files read:\r\n");
  std::string line = std::string(10, ' ') + "   Total";
  for (int g = 1; g <= groups; ++g) line += "   Grp" + PlainNumber(g);
  session.Append(line + "\r\n");

  double total = 0;
  for (int g = 1; g <= 5; ++g) total += stats.trained[g];
  line = std::string(10, ' ') + FormatMask(total, kCount);
  for (int g = 1; g <= groups; ++g) line += FormatMask(stats.trained[g], kCount);
  session.Append(line + "\r\n\r\n");

  session.Append("Unstemmed words and phrases\r\n");
  session.Append(
      "             Unstemmed Words    Unstemmed Phrases   Unstemmed Arguments       Combined\r\n");
  session.Append(
      "              Total  Unique        Total  Unique        Total  Unique        Total  "
      "Unique\r\n\r\n");
  AppendTableSection(session, stats.unstemmed, groups);
  session.Append("\r\n\r\n");

  session.Append("Stemmed words and phrases\r\n");
  session.Append(
      "              Stemmed Words       Stemmed Phrases    Stemmed Arguments        Combined\r\n");
  session.Append(
      "              Total  Unique        Total  Unique        Total  Unique        Total  "
      "Unique\r\n\r\n");
  AppendTableSection(session, stats.stemmed, groups);
  session.Append("\r\n");

  session.Append("Number of rare tokens (occurs less than" + FormatMask(stats.rare, "* ###.#") +
                 " times per 1000):\r\n");
  const char* const unstemmed[4] = {"   unstemmed words:    ", "   unstemmed phrases:  ",
                                    "   unstemmed arguments:", "   unstemmed total:    "};
  const char* const stemmed[4] = {"   stemmed words:      ", "   stemmed phrases:    ",
                                  "   stemmed arguments:  ", "   stemmed total:      "};
  AppendRareLines(session, stats.unstemmed, unstemmed);
  AppendRareLines(session, stats.stemmed, stemmed);

  session.Append("Number of common terms (occurs" + FormatMask(stats.common, "* #####") +
                 " times per 1000 or more):\r\n");
  std::string text = "   unstemmed: " + FormatMask(stats.unstemmed.common, kCount) + "\r\n";
  text += "   stemmed:   " + FormatMask(stats.stemmed.common, kCount) + "\r\n\r\n";
  session.Append(text);

  session.Append("Number of stop words: ");
  session.Append(FormatMask(stats.stopWords, kCount) + " (unstemmed)\r\n");
}

}  // namespace tarne
