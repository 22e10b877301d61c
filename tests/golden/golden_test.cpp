// Replays a fixed sequence of tarne-cli commands on the sample essays and
// compares everything they print and write (reports, messages, result logs,
// the project log and the four tables after every command) with the
// transcript recorded in tests/golden/.  Any change to what Tarne counts,
// computes or reports shows up here as a difference.
//
// TARNE_GOLDEN_RECORD=1 writes the transcript anew instead of comparing;
// TARNE_GOLDEN_DUMPS=DIR also writes the full tables after every command into
// DIR, and TARNE_TEST_CLI runs another build, so that two builds' dumps can be
// compared with diff -r when a digest differs.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "db/gateway.h"
#include "support/run_cli.h"
#include "support/temp_folder.h"
#include "support/test_server.h"

namespace fs = std::filesystem;

namespace tarne::testing {
namespace {

const std::string kGoldenDir = std::string(TARNE_SOURCE_DIR) + "/tests/golden/";

std::string Real(double value) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.17g", value);
  return buf;
}

std::uint64_t Fnv1a(const std::string& text) {
  std::uint64_t hash = 1469598103934665603ull;
  for (unsigned char c : text) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  return hash;
}

// Rows of a query, text columns as stored and numbers in full precision.
std::string Rows(Database& db, const std::string& sql, int columns) {
  std::string out;
  db.Statement(1, sql);
  db.FetchResult(1, 0);
  for (; db.EndOfData(1) == 0; db.FetchResult(1, 0)) {
    for (int c = 1; c <= columns; ++c) {
      if (c > 1) out += '|';
      out += c == 1 ? db.ColumnText(1, c) : Real(db.ColumnFloat(1, c));
    }
    out += '\n';
  }
  return out;
}

// The four tables: the vocabulary sorted and also as the sequence of tokens
// in row order (which decides the order of equal values in listings), the
// calib rows in row order (the order of a train run), and trainsize.
// server: the project is on that server (schema gold) rather than in file.
std::string TableDump(const std::string& file, const std::string& server) {
  Database db;
  if (server.empty() ? !db.OpenFile(file) : !db.OpenServer(server, "gold"))
    return "no database\n";
  std::string out;
  for (const char* table : {"run1", "stem"}) {
    out += std::string("== ") + table + "\n";
    out += Rows(db,
                std::string("SELECT Vocab, isword, isphrase, isarg, isstop, keep, v1, v2, v3, v4, "
                            "v5, w1, w2, w3, w4, w5, p1, p2, p3, p4, p5, sum, entropy, thisessay FROM ") +
                    table + " ORDER BY Vocab, isword, isphrase, isarg",
                24);
    out += std::string("== ") + table + " row order\n";
    out += Rows(db,
                std::string("SELECT Vocab, isword + 2 * isphrase + 4 * isarg FROM ") + table +
                    " ORDER BY rowid",
                2);
  }
  out += "== calib\n" +
         Rows(db, "SELECT filen, gr, isinwords, isinphrases, isinargs FROM calib ORDER BY rowid",
              5);
  out += "== trainsize\n" + Rows(db, "SELECT 'g', g1, g2, g3, g4, g5 FROM trainsize", 6);
  return out;
}

class GoldenReplay {
 public:
  // server: a PostgreSQL connection text for a project kept there.
  explicit GoldenReplay(std::string server = {}) : work_(temp_.Path()), server_(std::move(server)) {
    fs::copy(std::string(TARNE_SOURCE_DIR) + "/examples", work_ + "essays",
             fs::copy_options::recursive);
    config_ = temp_.Sub("config");
    project_ = work_ + "project/gold.trn";
    database_ = work_ + "project/gold.db";
  }

  const std::string& Work() const { return work_; }
  const std::string& Project() const { return project_; }

  // Runs one command and adds its outputs and the tables' digest.
  void Run(std::vector<std::string> args) {
    std::string line = "$";
    for (const std::string& a : args) line += " " + a;
    if (!server_.empty() && args[0] == "new") args.insert(args.end(), {"--server", server_});
    CliResult r = RunCli(args, config_);
    transcript_ += Normal(line) + "\nexit " + std::to_string(r.exitCode) + "\n";
    transcript_ += "-- stdout\n" + Normal(r.out) + "\n-- stderr\n" + Normal(r.err) + "\n";
    ++commands_;
    if (!server_.empty() || FileExists(database_)) {
      const std::string dump = Normal(TableDump(database_, server_));
      char digest[32];
      std::snprintf(digest, sizeof digest, "%016llx",
                    static_cast<unsigned long long>(Fnv1a(dump)));
      transcript_ += "-- tables " + std::string(digest) + "\n";
      if (const char* dir = std::getenv("TARNE_GOLDEN_DUMPS"); dir && *dir) {
        char name[32];
        std::snprintf(name, sizeof name, "/%03d.txt", commands_);
        std::ofstream(dir + std::string(name), std::ios::binary) << Normal(line) << "\n" << dump;
      }
    }
  }
  // A file the commands wrote (a result log, the project log).
  void File(const std::string& path) {
    transcript_ += "-- file " + Normal(path) + "\n" + Normal(ReadFile(path)) + "\n";
  }
  const std::string& Transcript() const { return transcript_; }

 private:
  // Paths of this run's work folder, time stamps and carriage returns in a
  // form that stays the same from run to run.
  std::string Normal(std::string text) const {
    for (size_t at; (at = text.find(work_)) != std::string::npos;)
      text.replace(at, work_.size(), "$WORK/");
    static const std::regex stamp(R"(\d\d-\d\d-\d\d\d\d \d\d:\d\d:\d\d)");
    text = std::regex_replace(text, stamp, "MM-DD-YYYY hh:mm:ss");
    std::string out;
    for (char c : text) {
      if (c == '\r')
        out += "\\r";
      else
        out += c;
    }
    return out;
  }

  TempFolder temp_;
  std::string work_;
  std::string server_;
  std::string config_;
  std::string project_;
  std::string database_;
  std::string transcript_;
  int commands_ = 0;
};

// expected, when not empty, stands for the recorded file.
void Compare(const std::string& name, const std::string& actual, std::string expected = {}) {
  const std::string path = kGoldenDir + name;
  if (const char* record = std::getenv("TARNE_GOLDEN_RECORD"); record && *record == '1') {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << actual;
    return;
  }
  if (expected.empty()) expected = ReadFile(path);
  ASSERT_FALSE(expected.empty()) << "no golden file " << path;
  if (expected == actual) return;
  // Left beside the build for a diff against the recorded file.
  const std::string mine = fs::current_path().string() + "/" + name + ".actual";
  std::ofstream(mine, std::ios::binary | std::ios::trunc) << actual;
  size_t at = 0;
  while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) ++at;
  const size_t from = expected.rfind("\n$ ", at);
  ADD_FAILURE() << name << " differs (see " << mine << "), first in the command at:\n"
                << expected.substr(from == std::string::npos ? 0 : from + 1, 400);
}

void Replay(GoldenReplay& r) {
  const std::string w = r.Work();
  const std::string p = r.Project();
  const std::string essays = w + "essays/";

  std::vector<std::string> create = {"new", "--name", "gold", "--root", w + "project/",
                                     "--groups", "3", "--new", essays + "trial/g2/"};
  for (const char* g : {"g1", "g2", "g3"}) {
    create.insert(create.end(), {"--train", essays + "train/" + g + "/"});
    create.insert(create.end(), {"--trial", essays + "trial/" + g + "/"});
  }
  r.Run(create);
  r.Run({"train", p, "pairs"});  // nothing trained for words yet
  r.Run({"train", p, "words"});
  r.Run({"train", p, "words"});  // all read
  r.Run({"train", p, "pairs"});
  r.Run({"train", p, "arguments"});
  r.Run({"stats", p});
  r.Run({"remove", p, "--group", "1", essays + "train/g1/essay03.txt"});
  r.Run({"remove", p, "--group", "3", essays + "train/g3/essay07.txt"});

  const std::vector<std::vector<std::string>> options = {
      {},
      {"--stemmed"},
      {"--bernoulli"},
      {"--bernoulli", "--stemmed"},
      {"--no-stop-words"},
      {"--no-common", "--no-rare"},
      {"--no-low-info"},
      {"--bernoulli", "--no-stop-words", "--no-common", "--no-rare", "--no-low-info"}};
  for (const char* kind : {"words", "pairs", "arguments"})
    for (const auto& o : options) {
      std::vector<std::string> args = {"recompute", p, kind};
      args.insert(args.end(), o.begin(), o.end());
      r.Run(args);
    }

  const std::vector<std::vector<std::string>> kinds = {
      {"--words"}, {"--phrases"}, {"--arguments"}, {"--words", "--phrases", "--arguments"}};
  for (const char* what : {"trial", "train", "new"})
    for (const char* model : {"", "--bernoulli"})
      for (const auto& k : kinds) {
        std::vector<std::string> args = {"score", p, what, "--log"};
        if (*model) args.push_back(model);
        if (std::string(what) != "new") args.push_back("--show-errors");
        args.insert(args.end(), k.begin(), k.end());
        r.Run(args);
        r.File(w + "project/" + (std::string(what) == "new" ? "goldnew.csv" : "gold.csv"));
      }
  const std::vector<std::vector<std::string>> variants = {
      {"--stemmed", "--words", "--phrases"},
      {"--bernoulli", "--stemmed", "--no-rare", "--words", "--phrases", "--arguments"},
      {"--no-stop-words", "--no-common", "--no-rare", "--no-low-info", "--words", "--phrases",
       "--arguments"},
      {"--bernoulli", "--no-low-info", "--words", "--phrases"}};
  for (const auto& v : variants) {
    std::vector<std::string> args = {"score", p, "trial", "--log", "--show-errors"};
    args.insert(args.end(), v.begin(), v.end());
    r.Run(args);
    r.File(w + "project/gold.csv");
  }
  for (const char* model : {"", "--bernoulli"})
    for (const char* stemmed : {"", "--stemmed"}) {
      std::vector<std::string> args = {"score", p, "one", essays + "one.txt", "--words",
                                       "--phrases", "--arguments"};
      if (*model) args.push_back(model);
      if (*stemmed) args.push_back(stemmed);
      r.Run(args);
    }
  for (const char* kind : {"words", "pairs", "arguments"}) r.Run({"top", p, kind});

  r.Run({"score", p, "train", "--bernoulli", "--words", "--untrain-flagged"});
  r.Run({"train", p, "words"});  // the removed essays come back
  r.Run({"purge", p, "words", "--yes", "--no-backup"});
  r.Run({"stats", p});
  r.Run({"purge", p, "arguments", "--yes", "--backup"});
  r.Run({"erase", p, "pairs", "--yes", "--no-backup"});
  r.Run({"train", p, "pairs"});
  r.Run({"top", p, "pairs"});
  r.Run({"score", p, "trial", "--bernoulli", "--words", "--phrases", "--log"});
  r.File(w + "project/gold.csv");
  r.Run({"stats", p});
  r.File(w + "project/gold.log");
}

TEST(Golden, SampleEssaysGiveTheRecordedTablesReportsAndLogs) {
  GoldenReplay r;
  Replay(r);
  Compare("examples_transcript.txt", r.Transcript());
}

// The same commands on a project kept on a server give the same transcript;
// only the backup is named as a server's backups are.
TEST(Golden, ServerProjectGivesTheRecordedTranscript) {
  const std::string server = TestServer();
  if (server.empty()) GTEST_SKIP() << kNoTestServer;
  if (const char* record = std::getenv("TARNE_GOLDEN_RECORD"); record && *record == '1')
    GTEST_SKIP() << "the transcript is recorded from the file project";
  DropServerProject("gold");
  GoldenReplay r(server);
  Replay(r);
  std::string expected = ReadFile(kGoldenDir + "examples_transcript.txt");
  const std::string file = "$WORK/project/gold0.db";
  for (size_t at; (at = expected.find(file)) != std::string::npos;)
    expected.replace(at, file.size(), "gold0");
  Compare("examples_transcript.txt", r.Transcript(), expected);
  DropServerProject("gold");
}

}  // namespace
}  // namespace tarne::testing
