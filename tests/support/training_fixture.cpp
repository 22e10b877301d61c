#include "training_fixture.h"

#include <fstream>

#include "db/database_files.h"
#include "db/server_project.h"
#include "project/settings.h"
#include "shell/numbers.h"

namespace tarne::testing {

std::vector<std::string> QueryRows(Database& db, const std::string& sql, int columns) {
  std::vector<std::string> rows;
  db.Statement(1, sql);
  db.FetchResult(1, 0);
  while (db.EndOfData(1) == 0) {
    std::string row;
    for (int c = 1; c <= columns; ++c) row += (c > 1 ? "|" : "") + db.ColumnText(1, c);
    rows.push_back(row);
    db.FetchResult(1, 0);
  }
  return rows;
}

std::vector<std::string> DumpTrainingState(Database& db) {
  std::vector<std::string> dump;
  const char* columns =
      "Vocab, isword, isphrase, isarg, isstop, v1, v2, v3, v4, v5, w1, w2, w3, w4, w5";
  for (const char* table : {"run1", "stem"}) {
    dump.push_back(std::string("table ") + table);
    for (std::string& row :
         QueryRows(db, std::string("SELECT ") + columns + " FROM " + table +
                           " ORDER BY Vocab, isword, isphrase, isarg",
                   15))
      dump.push_back(std::move(row));
  }
  dump.push_back("calib");
  for (std::string& row :
       QueryRows(db, "SELECT filen, gr, isinwords, isinphrases, isinargs FROM calib "
                     "ORDER BY filen, gr",
                 5))
    dump.push_back(std::move(row));
  dump.push_back("trainsize");
  for (std::string& row : QueryRows(db, "SELECT g1, g2, g3, g4, g5 FROM trainsize", 5))
    dump.push_back(std::move(row));
  return dump;
}

ProjectSettings MakeSettings(const std::string& root, const std::string& sname,
                             const std::string& essays, int groups) {
  ProjectSettings s;
  s.incats = static_cast<std::int16_t>(groups);
  s.dbprogram = "MSACCESS";
  s.sname = sname;
  s.path2root = root;
  s.path2new = essays + "new/";
  for (int g = 1; g <= groups; ++g) {
    s.path2train.push_back(essays + "g" + std::to_string(g) + "/");
    s.path2trial.push_back(essays + "trial" + std::to_string(g) + "/");
    s.priors.push_back(1.0 / groups);
  }
  s.common = 1000;
  s.rare = 40;
  s.lowinfo = kLowInfoDefault;
  return s;
}

void TrainingFixture::MakeProject(int groups, std::vector<double> priors) {
  session = std::make_unique<Session>(port, temp.Sub("config/tarne"));
  std::string essays = temp.Sub("essays");
  session->settings = MakeSettings(temp.Sub("root"), "proj", essays, groups);
  ProjectSettings& s = session->settings;
  for (int g = 1; g <= groups; ++g) temp.Sub("essays/g" + std::to_string(g));
  if (!priors.empty()) s.priors = priors;
  if (ProjectsOnServer()) {
    const std::string problem = server.Create(s.sname);
    ASSERT_EQ(problem, "");
    s.dbprogram = kServerProgram;
    s.dbserver = server.Connection();
  } else {
    ASSERT_TRUE(CreateProjectDatabase(s.path2root, s.sname, session->configFolder));
  }
  std::ofstream(s.ProjectFilePath(), std::ios::binary) << ProjectFileText(s);
  ASSERT_TRUE(session->OpenProjectDatabase());
}

std::string TrainingFixture::Essay(int g, const std::string& name, const std::string& text) {
  const std::string path = TrainFolder(g) + name;
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
  return path;
}

bool TrainingFixture::BackupExists(const std::string& name) {
  if (!ProjectsOnServer()) return FileExists(session->settings.path2root + name + ".db");
  Database db;
  return db.ConnectServer(server.Connection()) && ServerSchemaExists(db, name);
}

double TrainingFixture::Value(const std::string& sql) {
  session->db.Statement(1, sql);
  session->db.FetchResult(1, 0);
  return session->db.ColumnFloat(1, 1);
}

std::vector<std::string> TrainingFixture::LogLines() const {
  std::vector<std::string> lines;
  for (const std::string& line : port.logLines)
    if (line.rfind("Database error", 0) != 0) lines.push_back(line);
  return lines;
}

void TrainingFixture::TearDown() {
  if (allowDatabaseErrors) return;
  for (const std::string& line : port.logLines)
    EXPECT_NE(line.rfind("Database error", 0), 0u) << line;
}

}  // namespace tarne::testing
