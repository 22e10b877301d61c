// A project with a real database in a temporary folder (or on the test
// server, see support/test_server.h), for the scoring tests.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "db/database_files.h"
#include "db/gateway.h"
#include "project/session.h"
#include "scoring/scoring.h"
#include "shell/numbers.h"
#include "support/recording_port.h"
#include "support/temp_folder.h"
#include "support/test_server.h"

namespace tarne::testing {

class ScoringFixture : public ::testing::Test {
 protected:
  // groups equal priors unless given; folders root/train/gN/ and root/trial/gN/.
  void MakeProject(int groups, std::vector<double> priors = {}) {
    session = std::make_unique<Session>(port, temp.Sub("config"));
    ProjectSettings& s = session->settings;
    s.incats = static_cast<std::int16_t>(groups);
    s.dbprogram = "MSACCESS";
    s.sname = "proj";
    s.path2root = temp.Sub("root");
    s.path2new = temp.Sub("root/new");
    s.path2train.clear();
    s.path2trial.clear();
    for (int g = 1; g <= groups; ++g) {
      s.path2train.push_back(temp.Sub("root/train/g" + std::to_string(g)));
      s.path2trial.push_back(temp.Sub("root/trial/g" + std::to_string(g)));
    }
    if (priors.empty()) priors.assign(static_cast<size_t>(groups), 1.0 / groups);
    s.priors = priors;
    s.common = 1000;
    s.rare = 40;
    s.lowinfo = kLowInfoDefault;
    if (ProjectsOnServer()) {
      const std::string problem = server.Create(s.sname);
      ASSERT_EQ(problem, "");
      s.dbprogram = kServerProgram;
      s.dbserver = server.Connection();
      ASSERT_TRUE(session->db.OpenServer(s.dbserver, s.sname));
    } else {
      ASSERT_TRUE(session->db.CreateNewFile(s.DatabasePath()));
      ASSERT_TRUE(CreateSchema(session->db));
    }
  }

  void Sql(const std::string& sql) { session->db.Statement(1, sql); }

  // A token row with its probabilities (groups 1..n given), entropy and sum.
  void AddToken(const std::string& table, const std::string& vocab, int kind,
                std::vector<double> p, double entropy = 1, double sum = 100) {
    const char* flag = kind == 2 ? "isphrase" : kind == 3 ? "isarg" : "isword";
    std::string columns = "Vocab," + std::string(flag) + ",entropy,sum";
    std::string values = "'" + vocab + "',1," + TrimmedNumber(entropy) + "," + TrimmedNumber(sum);
    for (size_t g = 0; g < p.size(); ++g) {
      columns += ",p" + std::to_string(g + 1);
      values += "," + TrimmedNumber(p[g]);
    }
    Sql("INSERT INTO " + table + " (" + columns + ") VALUES (" + values + ")");
  }

  void SetTrainSize(std::vector<int> counts) {
    std::string set;
    for (size_t g = 0; g < counts.size(); ++g)
      set += (g ? "," : "") + std::string("g") + std::to_string(g + 1) + "=" +
             std::to_string(counts[g]);
    Sql("UPDATE trainsize SET " + set);
  }

  std::uint32_t Count(const std::string& sql) {
    session->db.Statement(1, sql);
    session->db.FetchResult(1, 0);
    return session->db.ColumnUInt(1, 1);
  }

  GroupScores Priors() const {
    GroupScores s;
    for (size_t g = 0; g < session->settings.priors.size(); ++g)
      s.value[g + 1] = session->settings.priors[g];
    return s;
  }

  // The pane text from the first occurrence of marker on ("" when absent).
  std::string PaneFrom(const std::string& marker) const {
    const std::string& text = port.PaneText();
    size_t at = text.find(marker);
    return at == std::string::npos ? std::string() : text.substr(at);
  }

  TempFolder temp;
  ServerTestDatabase server;  // dropped after the session has closed
  RecordingPort port;
  std::unique_ptr<Session> session;
};

inline std::string Spaces(int n) { return std::string(static_cast<size_t>(n), ' '); }

}  // namespace tarne::testing
