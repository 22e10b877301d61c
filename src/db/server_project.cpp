#include "db/server_project.h"

#include "db/prepared_statement.h"
#include "db/server_connection.h"

namespace tarne {

namespace {

std::string VocabularyTable(const std::string& table) {
  // The file engine's columns, with the token's text moved last: the
  // server finds a column after a text by walking the row, and every
  // recomputation rewrites the reals of most rows.  The row id is a column
  // of its own here, numbered as rows are added.  Texts compare and sort by
  // their bytes, as in a project file.  The text has no index: a training
  // run reads the texts of its kind once and finds rows by row id, and the
  // one other lookup by text, marking an essay's tokens, is one statement
  // that joins them all to the table.  An index on the text would cost a
  // quarter of the time of every new row.  Statements name their columns,
  // so projects made with the earlier order and indexes work the same.
  return "CREATE TABLE " + table +
         " (v1 float8 DEFAULT 0, v2 float8 DEFAULT 0, v3 float8 DEFAULT 0, v4 float8 DEFAULT 0,"
         " v5 float8 DEFAULT 0,"
         " w1 float8 DEFAULT 0, w2 float8 DEFAULT 0, w3 float8 DEFAULT 0, w4 float8 DEFAULT 0,"
         " w5 float8 DEFAULT 0,"
         " p1 float8 DEFAULT 0, p2 float8 DEFAULT 0, p3 float8 DEFAULT 0, p4 float8 DEFAULT 0,"
         " p5 float8 DEFAULT 0,"
         " sum float8 DEFAULT 0, entropy float8 DEFAULT 0,"
         " isword INTEGER DEFAULT 0, isphrase INTEGER DEFAULT 0, isarg INTEGER DEFAULT 0,"
         " isstop INTEGER DEFAULT 0, keep INTEGER DEFAULT 0, thisessay INTEGER DEFAULT 0,"
         " Vocab TEXT COLLATE \"C\","
         " rowid BIGSERIAL PRIMARY KEY) WITH (fillfactor = 50);"
         "CREATE INDEX ON " + table + " (thisessay) WHERE thisessay <> 0;";
}

// The functions the statements call, as the file engine defines them: log()
// the natural logarithm, NULL for what has none; "/" between reals NULL for
// a division by zero; gain() the information gain of a token worked out
// step by step (see db/sql_functions.h).  They come before pg_catalog on the
// search path of a connection to the project.
std::string Functions(const std::string& s) {
  return "CREATE FUNCTION " + s +
         ".log(x float8) RETURNS float8 LANGUAGE sql IMMUTABLE AS "
         "$$ SELECT CASE WHEN x > 0 THEN pg_catalog.ln(x) END $$;"
         "CREATE FUNCTION " + s +
         ".divide(a float8, b float8) RETURNS float8 LANGUAGE sql IMMUTABLE AS "
         "$$ SELECT CASE WHEN b <> 0 THEN a OPERATOR(pg_catalog./) b END $$;"
         "CREATE OPERATOR " + s + "./ (LEFTARG = float8, RIGHTARG = float8, FUNCTION = " + s +
         ".divide);"
         "CREATE FUNCTION " + s +
         ".gain(VARIADIC a float8[]) RETURNS float8 LANGUAGE plpgsql IMMUTABLE AS $$\n"
         "DECLARE\n"
         "  n int := array_length(a, 1);\n"
         "  groups int := (n - 2) / 2;\n"
         "  evidence float8; terms float8; weighted float8; ratio float8; term float8;\n"
         "BEGIN\n"
         "  FOR g IN 1..least(groups, 5) LOOP\n"
         "    IF a[2*g+1] IS NULL OR NOT a[2*g+1] > 0 THEN RETURN a[n]; END IF;\n"
         "  END LOOP;\n"
         "  evidence := a[2] * a[3];\n"
         "  FOR g IN 2..groups LOOP evidence := evidence + a[2*g] * a[2*g+1]; END LOOP;\n"
         "  FOR g IN 1..groups LOOP\n"
         "    weighted := a[2*g] * a[2*g+1];\n"
         "    term := NULL;\n"
         "    IF evidence <> 0 AND weighted <> 0 THEN\n"
         "      ratio := evidence OPERATOR(pg_catalog./) weighted;\n"
         "      IF ratio > 0 THEN\n"
         "        term := ((weighted OPERATOR(pg_catalog./) evidence) * pg_catalog.ln(ratio))\n"
         "                OPERATOR(pg_catalog./) pg_catalog.ln(2::float8);\n"
         "      END IF;\n"
         "    END IF;\n"
         "    IF g = 1 THEN terms := term; ELSE terms := terms + term; END IF;\n"
         "  END LOOP;\n"
         "  RETURN a[1] - terms;\n"
         "END $$;";
}

// Training sets an essay's flag for phrases and for arguments in place:
// with room left on each page, the new version of the row stays on its
// page and neither index takes a new entry.
std::string ProjectTables(const std::string& s) {
  return "CREATE SCHEMA " + s + ";" + VocabularyTable(s + ".run1") +
         VocabularyTable(s + ".stem") + "CREATE TABLE " + s +
         ".calib (filen TEXT COLLATE \"C\", gr INTEGER, isinwords INTEGER DEFAULT 0,"
         " isinphrases INTEGER DEFAULT 0, isinargs INTEGER DEFAULT 0,"
         " rowid BIGSERIAL PRIMARY KEY) WITH (fillfactor = 50);"
         "CREATE INDEX ON " + s + ".calib (filen, gr);"
         "CREATE INDEX ON " + s + ".calib (gr);"
         "CREATE TABLE " + s +
         ".trainsize (g1 INTEGER DEFAULT 0, g2 INTEGER DEFAULT 0,"
         " g3 INTEGER DEFAULT 0, g4 INTEGER DEFAULT 0, g5 INTEGER DEFAULT 0);"
         "INSERT INTO " + s + ".trainsize DEFAULT VALUES;" + Functions(s);
}

bool RunTogether(Database& db, const std::string& sql) {
  if (db.Exec(sql)) return true;
  if (db.InTransaction()) db.Rollback();
  return false;
}

}  // namespace

bool ServerSchemaExists(Database& db, const std::string& schema) {
  PreparedStatement query(db, "SELECT count(*) FROM pg_namespace WHERE nspname=?");
  query.Bind(1, schema);
  return query.Step() && query.Int(0) > 0;
}

bool CreateServerProject(Database& db, const std::string& schema) {
  const std::string s = QuoteIdentifier(schema);
  return RunTogether(db, "BEGIN; DROP SCHEMA IF EXISTS " + s + " CASCADE;" + ProjectTables(s) +
                             "COMMIT;");
}

std::string NextBackupSchema(Database& db, const std::string& sname) {
  for (unsigned long n = 0;; ++n) {
    std::string name = sname + std::to_string(n);
    if (!ServerSchemaExists(db, name)) return name;
  }
}

bool BackupServerProject(Database& db, const std::string& fromSchema,
                         const std::string& toSchema) {
  const std::string from = QuoteIdentifier(fromSchema);
  const std::string to = QuoteIdentifier(toSchema);
  std::string sql = "BEGIN ISOLATION LEVEL REPEATABLE READ;" + ProjectTables(to) + "DELETE FROM " +
                    to + ".trainsize;";
  // By name: the copy's columns may stand in another order than the
  // original's, made by an earlier version.
  const std::string vocabulary =
      "(Vocab, v1, v2, v3, v4, v5, w1, w2, w3, w4, w5, p1, p2, p3, p4, p5, sum, entropy,"
      " isword, isphrase, isarg, isstop, keep, thisessay, rowid)";
  for (const char* table : {"run1", "stem"})
    sql += std::string("INSERT INTO ") + to + "." + table + " " + vocabulary + " SELECT " +
           vocabulary.substr(1, vocabulary.size() - 2) + " FROM " + from + "." + table + ";";
  for (const char* table : {"calib", "trainsize"})
    sql += std::string("INSERT INTO ") + to + "." + table + " SELECT * FROM " + from + "." + table +
           ";";
  // New rows of the copy are numbered after the copied ones.
  for (const char* table : {"run1", "stem", "calib"})
    sql += "SELECT setval(pg_get_serial_sequence('" + SqlQuote(to) + "." + table +
           "', 'rowid'), (SELECT coalesce(max(rowid), 0) + 1 FROM " + to + "." + table +
           "), false);";
  return RunTogether(db, sql + "COMMIT;");
}

}  // namespace tarne
