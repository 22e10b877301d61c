#include <cstdint>
#include <ctime>
#include <string>

#include "db/gateway.h"
#include "db/server_transaction.h"
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
void AppendKindRow(std::string& out, const std::string& label, const KindCounts (&kinds)[3]) {
  std::string row = label;
  double total = 0, unique = 0;
  for (const KindCounts& p : kinds) {
    row += FormatMask(p.total, kCount) + FormatMask(p.distinct, kCount) + "     ";
    total += p.total;
    unique += p.distinct;
  }
  row += FormatMask(total, kCount) + FormatMask(unique, kCount) + "\r\n";
  out.append(row);
}

void AppendTableSection(std::string& out, const TableStatistics& table, int groups) {
  AppendKindRow(out, " Total     ", table.kinds[0]);
  for (int g = 1; g <= groups; ++g)
    AppendKindRow(out, " Group" + PlainNumber(g) + "   ", table.kinds[g]);
}

void AppendRareLines(std::string& out, const TableStatistics& table,
                     const char* const (&labels)[4]) {
  double sum = 0;
  std::string text;
  for (int k = 0; k < 3; ++k) {
    sum += table.rare[k];
    text += std::string(labels[k]) + FormatMask(table.rare[k], "* ###,###,###") + "\r\n";
  }
  text += std::string(labels[3]) + FormatMask(sum, "* ###,###,###") + "\r\n\r\n";
  out.append(text);
}

}  // namespace

bool ShowDatabaseStatistics(Session& session) {
  return ShowDatabaseStatistics(session, std::time(nullptr));
}

bool ShowDatabaseStatistics(Session& session, std::time_t now) {
  DatabaseStatistics stats;
  if (!ReadDatabaseStatistics(session, now, stats)) return false;
  AppendDatabaseStatistics(session, stats);
  return true;
}

bool ReadDatabaseStatistics(Session& session, std::time_t now, DatabaseStatistics& stats) {
  Database& db = session.db;
  // A statement that fails reads as zero: the figures count only when every
  // one of them was really read.
  const FailureWatch watch(db);
  // All from one state of a shared project, whatever trains meanwhile.
  ServerTransaction snapshot(db, ServerTransaction::Kind::kSnapshot);
  const ProjectSettings& settings = session.settings;
  stats = DatabaseStatistics();
  stats.project = settings.sname;
  stats.when = now;
  stats.groups = settings.Groups();
  stats.groupNames = settings.groupNames;
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
  if (watch.Failed() || !snapshot.Commit()) {
    session.ReportDatabaseFailure();
    return false;
  }
  return true;
}

void AppendDatabaseStatistics(Session& session, const DatabaseStatistics& stats) {
  session.Append(DatabaseStatisticsText(stats));
}

std::string DatabaseStatisticsText(const DatabaseStatistics& stats) {
  std::string out;
  const int groups = stats.groups;
  out.append("Database Statistics  Project " + stats.project + "  " +
                 LocalTimestamp(stats.when) + "\r\n\r\n");
  out.append("Files read:\r\n");
  std::string line = std::string(10, ' ') + "   Total";
  for (int g = 1; g <= groups; ++g) line += "   Grp" + PlainNumber(g);
  out.append(line + "\r\n");

  double total = 0;
  for (int g = 1; g <= 5; ++g) total += stats.trained[g];
  line = std::string(10, ' ') + FormatMask(total, kCount);
  for (int g = 1; g <= groups; ++g) line += FormatMask(stats.trained[g], kCount);
  out.append(line + "\r\n\r\n");

  out.append("Unstemmed words and phrases\r\n");
  out.append(
      "             Unstemmed Words    Unstemmed Phrases   Unstemmed Arguments       Combined\r\n");
  out.append(
      "              Total  Unique        Total  Unique        Total  Unique        Total  "
      "Unique\r\n\r\n");
  AppendTableSection(out, stats.unstemmed, groups);
  out.append("\r\n\r\n");

  out.append("Stemmed words and phrases\r\n");
  out.append(
      "              Stemmed Words       Stemmed Phrases    Stemmed Arguments        Combined\r\n");
  out.append(
      "              Total  Unique        Total  Unique        Total  Unique        Total  "
      "Unique\r\n\r\n");
  AppendTableSection(out, stats.stemmed, groups);
  out.append("\r\n");

  out.append("Number of rare tokens (occurs less than" + FormatMask(stats.rare, "* ###.#") +
                 " times per 1000):\r\n");
  const char* const unstemmed[4] = {"   unstemmed words:    ", "   unstemmed phrases:  ",
                                    "   unstemmed arguments:", "   unstemmed total:    "};
  const char* const stemmed[4] = {"   stemmed words:      ", "   stemmed phrases:    ",
                                  "   stemmed arguments:  ", "   stemmed total:      "};
  AppendRareLines(out, stats.unstemmed, unstemmed);
  AppendRareLines(out, stats.stemmed, stemmed);

  out.append("Number of common terms (occurs" + FormatMask(stats.common, "* #####") +
                 " times per 1000 or more):\r\n");
  std::string text = "   unstemmed: " + FormatMask(stats.unstemmed.common, kCount) + "\r\n";
  text += "   stemmed:   " + FormatMask(stats.stemmed.common, kCount) + "\r\n\r\n";
  out.append(text);

  out.append("Number of stop words: ");
  out.append(FormatMask(stats.stopWords, kCount) + " (unstemmed)\r\n");
  return out;
}

}  // namespace tarne
