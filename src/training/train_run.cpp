#include <deque>
#include <set>

#include "db/gateway.h"
#include "project/run_lock.h"
#include "project/session.h"
#include "shell/numbers.h"
#include "text/word_lists.h"
#include "training/training.h"
#include "training/training_batches.h"
#include "training/training_internal.h"

namespace tarne {

namespace {

// What a run tells the user after a group whose essays are still being
// written waits until they are kept: the lines stay in the order of the run,
// and a group is reported completed with the essays really kept.
class HeldReport {
 public:
  HeldReport(Session& session, const TrainingBatches& batches, const std::string& label)
      : session_(session), batches_(batches), label_(label) {}

  void Log(const std::string& line) { Hold({Kind::kLog, line, 0, 0}); }
  void Append(const std::string& text) { Hold({Kind::kAppend, text, 0, 0}); }
  // The "completed" line of group g, with its short essays (done without
  // being counted) added unless the group lost essays.
  void GroupDone(int g, int shortEssays) { Hold({Kind::kDone, {}, g, shortEssays}); }

  // Tells what is known: everything before the first group still being written.
  void Release() {
    while (!held_.empty() &&
           !(held_.front().kind == Kind::kDone && batches_.Pending(held_.front().group))) {
      Emit(held_.front());
      held_.pop_front();
    }
  }
  // After a failed batch: up to the completed line of the first group that
  // lost essays; the run stops there, so the rest is not told.
  void ReleaseAfterFailure() {
    while (!held_.empty()) {
      const Entry e = held_.front();
      held_.pop_front();
      Emit(e);
      if (e.kind == Kind::kDone && batches_.Lost(e.group) > 0) held_.clear();
    }
  }

 private:
  enum class Kind { kLog, kAppend, kDone };
  struct Entry {
    Kind kind;
    std::string text;
    int group;
    int shortEssays;
  };

  void Hold(Entry e) {
    held_.push_back(std::move(e));
    Release();
  }
  void Emit(const Entry& e) {
    switch (e.kind) {
      case Kind::kLog: session_.Log(e.text); break;
      case Kind::kAppend: session_.Append(e.text); break;
      case Kind::kDone: {
        const int completed =
            batches_.Kept(e.group) + (batches_.Lost(e.group) > 0 ? 0 : e.shortEssays);
        const std::string done = "Training group" + PlainNumber(e.group) + label_ +
                                 PlainNumber(completed) + " files completed";
        session_.Log(done);
        session_.Append("\r\n" + done + "\r\n");
        break;
      }
    }
  }

  Session& session_;
  const TrainingBatches& batches_;
  std::string label_;
  std::deque<Entry> held_;
};

// Every training folder the project names must be there and readable: a
// missing one (mistyped, on a drive not mounted) or one that cannot be
// listed would train nothing and look done.
bool TrainingFoldersExist(Session& session) {
  const ProjectSettings& s = session.settings;
  for (int g = 1; g <= s.Groups() && g <= static_cast<int>(s.path2train.size()); ++g) {
    const std::string& folder = s.path2train[g - 1];
    const std::string problem = FolderProblem(folder);
    if (problem.empty()) continue;
    session.Message("The training folder of group " + TrimmedNumber(g) + " " + problem +
                        ":\r\n" + folder,
                    kProgramName, Buttons::Ok, Icon::Exclamation);
    return false;
  }
  return true;
}

}  // namespace

std::string LowerAscii(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

bool TrainKind(Session& session, TokenKind tokenKind) {
  // The number the statements and labels are written with.
  const int kind = Number(tokenKind);
  Port& port = session.port;
  Database& db = session.db;
  const std::string label = KindLabel(kind);
  RunLock lock(session);
  if (!lock.Held() || !TrainingFoldersExist(session)) return false;
  LoadWordLists();

  if (kind == 3) {
    // Arguments are built from frequent words, so the word frequencies of both
    // tables must be current first.
    int saved = session.options.Stemmed;
    // Stop words only would leave the frequencies of every other word as
    // they were.
    const int savedStopWordsOnly = session.options.StopWordsOnly;
    session.options.StopWordsOnly = 0;
    std::string condition;
    const FailureWatch watch(db);
    session.options.Stemmed = 1;
    Recompute(session, condition, TokenKind::Words, false);
    session.options.Stemmed = 2;
    Recompute(session, condition, TokenKind::Words, false);
    session.options.Stemmed = saved;
    session.options.StopWordsOnly = savedStopWordsOnly;
    // Without current frequencies the arguments would be built from stale
    // ones and counted for good.
    if (watch.Failed()) return false;
  }

  const int groups = session.settings.Groups();
  TrainingBatches batches(db, kind, session.settings.rules);
  if (!batches.Load()) {
    session.ReportDatabaseFailure();
    session.Log("Training stopped: the database could not be read");
    return false;
  }
  // The exact paths already trained for this kind, group by group.  Read
  // before the first batch: the run adds records of the group it trains
  // only, and the database is the writer's while essays are being counted.
  std::vector<std::set<std::string>> trainedPaths(groups + 1);
  for (int g = 1; g <= groups; ++g) {
    std::string query = "SELECT filen FROM calib where gr=" + TrimmedNumber(g) + " AND isinwords = 1";
    if (kind == 2) query += " AND isinphrases=0";
    if (kind == 3) query += " AND isinargs=0";
    db.Statement(1, query);
    db.FetchResult(1, 0);
    while (db.EndOfData(1) == 0) {
      trainedPaths[g].insert(db.ColumnText(1, 1));
      db.FetchResult(1, 0);
    }
  }

  HeldReport report(session, batches, label);
  // The window of the essays being read, polled while the writer keeps a
  // new essay waiting.
  ProgressHandle reading = 0;
  batches.SetCancelCheck([&port, &reading] {
    if (reading == 0) return false;
    port.ProcessPendingMessages();
    return port.PROGESS_IS_CANCELLED(reading) != 0;
  });
  bool failed = false;
  bool committed = false;
  for (int g = 1; g <= groups && !failed; ++g) {
    const std::string gp = PlainNumber(g);
    const std::string gt = TrimmedNumber(g);
    const std::string folder =
        g - 1 < static_cast<int>(session.settings.path2train.size())
            ? session.settings.path2train[g - 1]
            : std::string();
    report.Log("Training group" + gp + label + " started");
    db.SetOptionSInt(60, 100);
    const std::set<std::string>& trained = trainedPaths[g];

    std::vector<std::string> counted;
    std::string why;
    if (!ListEssayFolder(folder, counted, why)) {
      // Gone unreadable since the run started: the groups before it are
      // kept, this one is not done.
      if (!batches.Commit()) {
        failed = true;
        break;
      }
      report.Release();
      session.Message("The training folder of group " + gt + " cannot be read (" + why +
                          "):\r\n" + folder,
                      kProgramName, Buttons::Ok, Icon::Exclamation);
      return false;
    }
    const int n = static_cast<int>(counted.size());
    const std::set<std::string> countedNames(counted.begin(), counted.end());
    std::vector<std::string> selected;
    selected.reserve(counted.size());

    ProgressHandle window = port.PROGRESS_INIT("Checking for calibrated files - train/" + gt);
    if (window == 0) continue;
    // Files that appeared since the count wait for the next run.
    std::vector<std::string> listing;
    if (n > 0)
      for (std::string& name : ListEssayFiles(folder))
        if (countedNames.count(name)) listing.push_back(std::move(name));
    bool cancelled = false;
    int i = 0;
    // Formatted once: numbers are most of a progress line's cost.
    const std::string ofGroups = " in set " + gt + " of" + PlainNumber(groups);
    const std::string checkingTail = PlainNumber(n) + ofGroups;
    for (const std::string& name : listing) {
      ++i;
      port.ProcessPendingMessages();
      port.PROGRESS_SET(window, (i * 100) / n + 1,
                        "Checking file " + TrimmedNumber(i) + " of " + checkingTail);
      port.ProcessPendingMessages();
      if (port.PROGESS_IS_CANCELLED(window)) {
        cancelled = true;
        break;
      }
      const std::string path = JoinPath(folder, name);
      bool listed = trained.count(path) > 0;
      if ((kind == 1 && !listed) || (kind != 1 && listed)) selected.push_back(path);
    }
    port.PROGRESS_SHUTDOWN(window);
    if (cancelled) continue;

    const int s = static_cast<int>(selected.size());
    int shortEssays = 0;
    window = 0;
    if (n == 0 && !TrimBlanks(folder).empty())
      report.Append("The training folder of group" + gp + " holds no essay: " + folder + "\r\n");
    if (s == 0) {
      // The box comes after what the groups before it have to tell.
      if (!batches.Commit()) {
        failed = true;
        break;
      }
      report.Release();
      session.Message("All files in group" + gp + " directory have been read", "", Buttons::Ok);
      report.Log("Training group" + gp + label + " aborted - all files have been read");
    } else {
      window = port.PROGRESS_INIT("Reading files - " + folder);
      report.Log("Training group" + gp + label + PlainNumber(s) + " files");
      if (window == 0) continue;
      reading = window;
      const std::string workingTail = PlainNumber(s) + ofGroups;
      // Short essays are completed without being counted; they are reported
      // done once the group's counted essays are kept.
      for (int k = 1; k <= s; ++k) {
        port.PROGRESS_SET(window, (k * 100) / s + 1,
                          "Working on file " + TrimmedNumber(k) + " of " + workingTail);
        port.ProcessPendingMessages();
        if (port.PROGESS_IS_CANCELLED(window)) {
          if (!batches.Cancel()) failed = true;
          break;
        }
        const std::string& path = selected[k - 1];
        std::string text;
        std::string why;
        // Not counted, so not reported as completed either.
        if (ReadEssayText(path, text, why) != EssayRead::kRead) {
          report.Log(why);
          report.Append(why + "\r\n");
          continue;
        }
        text = TrimBlanks(text);
        if (text.size() > 5) {
          text = LowerAscii(std::move(text));
          if (!batches.Add(text, path, g)) {
            failed = true;
            break;
          }
          report.Release();
        } else {
          ++shortEssays;
        }
      }
    }
    report.GroupDone(g, shortEssays);
    // The last group's window stays up through the final commit, which can
    // be the longest write of the run, so that a Cancel still cuts it short.
    if (g == groups && !failed) {
      if (!batches.Commit()) failed = true;
      committed = true;
    }
    reading = 0;
    if (window != 0) port.PROGRESS_SHUTDOWN(window);
  }
  if (!failed && !committed && !batches.Commit()) failed = true;
  if (!failed) {
    report.Release();
    return true;
  }
  report.ReleaseAfterFailure();
  session.ReportDatabaseFailure();
  session.Log("Training stopped: the database could not be changed");
  session.Message("Training stopped: the database could not be changed.\r\n" + db.LastError(),
                  kProgramName, Buttons::Ok, Icon::Exclamation);
  return false;
}

}  // namespace tarne
