#include "db/copy_tables.h"

#include <string>
#include <vector>

#include "db/prepared_statement.h"

namespace tarne {

namespace {

enum class Type { kText, kReal, kInteger };

struct Column {
  std::string name;
  Type type;
};

std::vector<Column> VocabularyColumns() {
  std::vector<Column> columns = {{"Vocab", Type::kText}};
  for (const char* x : {"v", "w", "p"})
    for (int g = 1; g <= 5; ++g) columns.push_back({x + std::to_string(g), Type::kReal});
  for (const char* name : {"sum", "entropy"}) columns.push_back({name, Type::kReal});
  for (const char* name : {"isword", "isphrase", "isarg", "isstop", "keep", "thisessay"})
    columns.push_back({name, Type::kInteger});
  return columns;
}

std::vector<Column> CalibColumns() {
  return {{"filen", Type::kText},
          {"gr", Type::kInteger},
          {"isinwords", Type::kInteger},
          {"isinphrases", Type::kInteger},
          {"isinargs", Type::kInteger}};
}

// Binds column c of from's row as parameter index of to.
void CopyValue(PreparedStatement& from, int c, const Column& column, PreparedStatement& to,
               int index) {
  if (from.IsNull(c)) {
    to.BindNull(index);
    return;
  }
  switch (column.type) {
    case Type::kText:
      to.Bind(index, from.Text(c));
      break;
    case Type::kReal:
      to.Bind(index, from.Real(c));
      break;
    case Type::kInteger:
      to.Bind(index, from.Int(c));
      break;
  }
}

bool CopyRows(Database& from, Database& to, const char* table,
              const std::vector<Column>& columns) {
  std::string names, marks;
  for (const Column& c : columns) {
    names += ", " + c.name;
    marks += ",?";
  }
  PreparedStatement rows(from, "SELECT rowid" + names + " FROM " + table + " ORDER BY rowid");
  PreparedStatement insert(to, std::string("INSERT INTO ") + table + " (rowid" + names +
                                   ") VALUES (?" + marks + ")");
  if (!rows.Ok() || !insert.Ok()) return false;
  while (rows.Step()) {
    insert.Bind(1, rows.Int(0));
    for (size_t i = 0; i < columns.size(); ++i)
      CopyValue(rows, static_cast<int>(i) + 1, columns[i], insert, static_cast<int>(i) + 2);
    if (!insert.Run()) return false;
  }
  return true;
}

bool CopyTrainsize(Database& from, Database& to) {
  PreparedStatement row(from, "SELECT g1, g2, g3, g4, g5 FROM trainsize");
  PreparedStatement update(to, "UPDATE trainsize SET g1=?, g2=?, g3=?, g4=?, g5=?");
  if (!row.Step()) return false;
  for (int g = 0; g < 5; ++g) CopyValue(row, g, {"g", Type::kInteger}, update, g + 1);
  row.Reset();
  return update.Run();
}

}  // namespace

bool CopyProjectTables(Database& from, Database& to) {
  const FailureWatch fromWatch(from);
  const FailureWatch toWatch(to);
  if (!to.Begin()) return false;
  bool ok = CopyRows(from, to, "run1", VocabularyColumns()) &&
            CopyRows(from, to, "stem", VocabularyColumns()) &&
            CopyRows(from, to, "calib", CalibColumns()) && CopyTrainsize(from, to);
  if (ok && to.IsServer()) {
    // Rows added later are numbered after the copied ones.
    for (const char* table : {"run1", "stem", "calib"})
      to.Statement(1, std::string("SELECT setval(pg_get_serial_sequence('") + table +
                          "', 'rowid'), (SELECT coalesce(max(rowid), 0) + 1 FROM " + table +
                          "), false)");
  }
  ok = ok && !fromWatch.Failed() && !toWatch.Failed() && to.Commit();
  if (!ok && to.InTransaction()) to.Rollback();
  return ok;
}

}  // namespace tarne
