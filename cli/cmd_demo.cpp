#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>

#include "args.h"
#include "commands.h"
#include "console_port.h"
#include "project/save_project.h"
#include "project/session.h"
#include "scoring/scoring.h"
#include "training/training.h"

namespace fs = std::filesystem;

namespace tarne::cli {

namespace {

const char* kDemoUsage =
    "usage: tarne-cli demo [DIR]\n"
    "Creates the project \"demo\" in DIR (a new folder under the temporary\n"
    "folder when DIR is not given) from the sample essays that come with\n"
    "Tarne, trains words and word pairs, prints the database statistics,\n"
    "scores the trial essays with words and word pairs, gives the verdict for\n"
    "one more essay and lists the top words and word pairs.\n";

constexpr int kGroups = 3;

bool IsExampleFolder(const fs::path& folder) {
  std::error_code ec;
  return fs::is_directory(folder / "train" / "g1", ec) && fs::is_directory(folder / "trial" / "g1", ec);
}

// The sample essays: where an install puts them relative to this program
// (PREFIX/bin/tarne-cli and PREFIX/share/tarne/examples), else in the source
// tree the program was built from, else in the current folder.  The install
// comes first so that an installed program never depends on a source tree
// that happens to be on the machine.
fs::path FindExamples() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (!ec) {
    fs::path installed = exe.parent_path().parent_path() / TARNE_EXAMPLES_INSTALL_DIR;
    if (IsExampleFolder(installed)) return installed;
  }
  fs::path source = fs::path(TARNE_SOURCE_DIR) / "examples";
  if (IsExampleFolder(source)) return source;
  if (IsExampleFolder("examples")) return fs::path("examples");
  return {};
}

std::string Folder(const fs::path& p) {
  std::string s = p.string();
  if (s.empty() || s.back() != '/') s += '/';
  return s;
}

}  // namespace

int RunDemo(const Args& a) {
  if (a.positional.size() > 1) return UsageError("at most one DIR", kDemoUsage);

  const fs::path examples = FindExamples();
  if (examples.empty()) {
    std::cerr << "tarne-cli: the sample essays (examples/) were not found\n";
    return 1;
  }

  std::error_code ec;
  fs::path dir;
  if (a.positional.empty()) {
    std::string pattern = (fs::temp_directory_path(ec) / "tarne-demo-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
      std::cerr << "tarne-cli: could not create a folder under the temporary folder\n";
      return 1;
    }
    dir = pattern;
  } else {
    dir = fs::absolute(a.positional[0], ec);
    fs::create_directories(dir, ec);
    if (!fs::is_directory(dir, ec)) {
      std::cerr << "tarne-cli: could not create " << dir.string() << "\n";
      return 1;
    }
  }
  dir = dir.lexically_normal();
  if (fs::exists(dir / "demo.db", ec)) {
    std::cerr << "tarne-cli: " << (dir / "demo.db").string()
              << " already exists; give an empty or new DIR\n";
    return 1;
  }

  // The project keeps its own copy of the essays, so it stays usable after
  // the source tree is gone.
  const fs::path essays = dir / "essays";
  fs::create_directories(essays, ec);
  fs::copy(examples, essays, fs::copy_options::recursive | fs::copy_options::overwrite_existing,
           ec);
  if (ec) {
    std::cerr << "tarne-cli: could not copy the sample essays to " << essays.string() << ": "
              << ec.message() << "\n";
    return 1;
  }
  std::cout << "Demo project in " << Folder(dir) << " (project file "
            << (dir / "demo.trn").string() << ")\n\n";
  std::cout.flush();

  ConsolePort port;
  // The demo's project is its own: running the demo again in the same folder
  // starts it afresh without asking.
  port.confirm = true;
  port.backup = false;
  Session session{port};
  ProjectDialogValues values;
  values.groups = kGroups;
  values.sname = "demo";
  values.root = Folder(dir);
  for (int g = 1; g <= kGroups; ++g) {
    const std::string group = "g" + std::to_string(g);
    values.train.push_back(Folder(essays / "train" / group));
    values.trial.push_back(Folder(essays / "trial" / group));
    values.priors.push_back("1");
  }
  if (!SaveProject(session, values, SaveMode::New)) return 1;
  if (!session.db.IsOpen() && !session.OpenProjectDatabase()) return 1;

  if (!TrainKind(session, TokenKind::Words) || !TrainKind(session, TokenKind::Pairs) ||
      port.interrupted())
    return 1;
  if (!ShowDatabaseStatistics(session)) return 1;

  ScoringOptions& options = session.options;
  options.What = 1;
  options.Model = 1;
  options.CodeWords = 1;
  options.CodePhrases = 1;
  options.CodeArguments = 0;
  if (!ScoringCommand(session) || port.interrupted()) return 1;

  std::string one;
  const fs::path oneFile = essays / "one.txt";
  if (ReadEssayFile(oneFile.string(), one) && !one.empty()) {
    options.What = 4;
    options.OneEssayText = one;
    ScoringCommand(session);
  }

  if (!ShowTopTokens(session, TokenKind::Words) || !ShowTopTokens(session, TokenKind::Pairs) ||
      port.interrupted())
    return 1;

  std::cout << "\nThe demo project stays in " << Folder(dir) << "; try for example\n"
            << "  tarne-cli score " << (dir / "demo.trn").string() << " trial --bernoulli\n";
  return 0;
}

const Command kDemoCommand{
    "demo", "Scoring and reports",
    "  demo [DIR]                           a whole project from the sample essays\n",
    kDemoUsage,
    {},
    {},
    RunDemo};

}  // namespace tarne::cli
