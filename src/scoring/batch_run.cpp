#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "db/database_files.h"
#include "db/gateway.h"
#include "db/server_transaction.h"
#include "project/session.h"
#include "scoring/early_essays.h"
#include "scoring/kind_model.h"
#include "scoring/results.h"
#include "scoring/scoring.h"
#include "shell/numbers.h"
#include "text/word_lists.h"
#include "training/model_settings.h"
#include "training/training.h"

namespace tarne {

namespace {

constexpr size_t kMaxErrors = 1800;

// The essays of one set, whichever collection they come from.
class SetFiles {
 public:
  SetFiles(Session& session, int what, int set) : session_(session), what_(what) {
    Database& db = session.db;
    if (what == 2) {
      const std::string group = PlainNumber(set);
      db.Statement(2, "select count(filen) from calib where gr=" + group + " AND isinwords=1");
      db.FetchResult(2, 0);
      count_ = static_cast<int>(db.ColumnUInt(2, 1));
      db.Statement(2, "select filen,isinwords, isinphrases, isinargs from calib where gr=" +
                          group + " AND isinwords=1");
      ReadRow();
    } else {
      folder_ = ScoredFolder(session.settings, what, set);
      names_ = ListEssayFiles(folder_);
      count_ = static_cast<int>(names_.size());
    }
  }

  int Count() const { return count_; }
  bool AtEnd() const { return what_ == 2 ? name_.empty() : next_ >= names_.size(); }
  // The name as the log shows it: the stored path for Train, else the bare name.
  const std::string& Name() const { return what_ == 2 ? name_ : names_[next_]; }
  std::string Path() const { return what_ == 2 ? name_ : JoinPath(folder_, names_[next_]); }
  int Flag(int kind) const { return what_ == 2 ? flags_[kind] : 1; }

  void Next() {
    if (what_ == 2)
      ReadRow();
    else
      ++next_;
  }

 private:
  void ReadRow() {
    Database& db = session_.db;
    db.FetchResult(2, 0);
    name_.clear();
    if (db.EndOfData(2) != 0) return;
    name_ = db.ColumnStr(2, 1);
    for (int kind = 1; kind <= 3; ++kind) flags_[kind] = db.ColumnSInt(2, kind + 1);
  }

  Session& session_;
  int what_;
  int count_ = 0;
  std::string folder_;
  std::vector<std::string> names_;
  size_t next_ = 0;
  std::string name_;
  int flags_[4] = {0, 0, 0, 0};
};

// An essay of a set to score: its name as the log shows it, its path and
// the kinds it is scored for.
struct Essay {
  std::string name;
  std::string path;
  int flags[4];
};

// Essays are read and classified a window at a time, on this thread and,
// where there is a second core, on one more.  The run then takes the
// results one by one in the essays' order, and everything it reports or
// writes happens as it did for one essay at a time; a Cancel leaves the
// rest of the window unused.  A window grows while it takes little time
// (fewer threads started) and shrinks when it takes long, so that a Cancel
// is still seen within a fraction of a second on the longest essays.
class Ahead {
 public:
  explicit Ahead(ScoringRun& classifier)
      : classifier_(classifier), twoThreads_(std::thread::hardware_concurrency() > 1) {}

  bool Holds(size_t i) const { return i >= first_ && i < first_ + results_.size(); }
  Classified& Result(size_t i) { return results_[i - first_]; }

  // The window that begins with essay first.  The models its essays need
  // are built first, on this thread, from the tables.
  void Classify(const std::vector<Essay>& essays, size_t first) {
    const auto started = std::chrono::steady_clock::now();
    const size_t end = std::min(essays.size(), first + window_);
    int flags[4] = {0, 0, 0, 0};
    for (size_t i = first; i < end; ++i)
      for (int kind = 1; kind <= 3; ++kind) flags[kind] |= essays[i].flags[kind];
    classifier_.Prepare(flags);
    first_ = first;
    results_.assign(end - first, Classified());
    std::atomic<size_t> next{first};
    const auto work = [&](ScoringScratch& scratch) {
      for (size_t i = next++; i < end; i = next++)
        ReadAndClassify(classifier_, essays[i].path, essays[i].flags, scratch, results_[i - first]);
    };
    std::future<void> helper;
    if (end - first > 1 && twoThreads_)
      helper = std::async(std::launch::async, work, std::ref(helperScratch_));
    work(scratch_);
    if (helper.valid()) helper.get();
    const auto took = std::chrono::steady_clock::now() - started;
    if (took < kShort && window_ < kMaxWindow)
      window_ *= 2;
    else if (took > kLong && window_ > kMinWindow)
      window_ /= 2;
  }

 private:
  static constexpr size_t kMinWindow = 4;
  static constexpr size_t kMaxWindow = 1024;
  static constexpr auto kShort = std::chrono::milliseconds(30);
  static constexpr auto kLong = std::chrono::milliseconds(100);

  ScoringRun& classifier_;
  const bool twoThreads_;
  ScoringScratch scratch_;
  ScoringScratch helperScratch_;
  size_t window_ = 16;
  size_t first_ = 0;
  std::vector<Classified> results_;
};

}  // namespace

int PredictedGroup(const GroupScores& scores, int groups) {
  int predicted = 0;
  long double best = 0;
  for (int g = 1; g <= groups; ++g) {
    if (scores.value[g] > best) {
      predicted = g;
      best = scores.value[g];
    }
  }
  return predicted;
}

std::string ScoredFolder(const ProjectSettings& settings, int what, int set) {
  if (what == 3) return settings.path2new;
  if (set < 1 || set > static_cast<int>(settings.path2trial.size())) return {};
  return settings.path2trial[set - 1];
}

std::string CollectionName(int what) {
  switch (what) {
    case 1: return "trial";
    case 2: return "train";
    case 3: return "new";
    default: return "one";
  }
}

std::string RunHeading(const ScoringOptions& o, const ProjectSettings& settings) {
  std::string h = "Scoring";
  if (o.CodeWords) h += " Words";
  if (o.CodePhrases) h += " Phrases";
  if (o.SentenceArguments) h += " Sentence Arguments";
  if (o.CodeArguments) h += " Arguments";
  h += o.Stemmed ? " (Stemmed)" : " (Not Stemmed)";
  h += o.IncludeStopWords ? " (Stop Words)" : " (No Stop Words)";
  h += o.IncludeCommon ? " (Common tokens)"
                       : " (No common; freq <" + PlainNumber(settings.common) + "/k)";
  h += o.IncludeRare ? " (Rare tokens)" : " (No rare; freq >" + PlainNumber(settings.rare) + "/k)";
  h += o.IncludeLowInfo ? " (Low Info tokens)"
                        : " (Info Gain >" + PlainNumber(settings.lowinfo) + ")";
  // The model settings are named only when they are not the classic ones.
  if (o.StopWordsOnly) h += " (Stop Words Only)";
  if (o.Alpha != 1) h += " (Smoothing " + TrimmedNumber(o.Alpha) + ")";
  if (o.PriorsFromTraining) h += " (Priors from training)";
  return h;
}

std::string ProbabilityText(int trueGroup, int predicted, const GroupScores& scores,
                            int groups) {
  std::string text = FormatMask(trueGroup, "* ##") + FormatMask(predicted, "* ###");
  for (int g = 1; g <= groups; ++g)
    text += FormatMask(static_cast<double>(scores.value[g] * 100), "* ###.##");
  return text;
}

std::string FlaggedFileItem(int trueGroup, const std::string& path) {
  std::string group = std::to_string(trueGroup);
  if (group.size() < 2) group.insert(0, 1, ' ');
  return group + path;
}

std::vector<std::string> PreTickedFlaggedFiles(const std::vector<ErrorEntry>& errors) {
  std::vector<std::string> out;
  for (const ErrorEntry& e : errors)
    if (IsPreTicked(e.probabilities)) out.push_back(FlaggedFileItem(e.trueGroup, e.path));
  return out;
}

bool BatchScoringRun(Session& session, RunResult& result) {
  return BatchScoringRun(session, result, nullptr, nullptr);
}

bool BatchScoringRun(Session& session, RunResult& result, std::unique_ptr<KindModel>* recomputed,
                     ServerTransaction* work) {
  ScoringRun classifier(session);
  if (recomputed)
    for (int kind = 1; kind <= 3; ++kind)
      if (recomputed[kind]) classifier.Adopt(kind, std::move(recomputed[kind]));
  return BatchScoringRun(session, result, classifier, nullptr, work);
}

bool BatchScoringRun(Session& session, RunResult& result, ScoringRun& classifier,
                     EarlyResults* early, ServerTransaction* work) {
  const ScoringOptions& options = session.options;
  const int what = options.What;
  const int groups = session.settings.Groups();
  Port& port = session.port;

  const std::string collection = CollectionName(what);
  const std::string heading = RunHeading(options, session.settings);
  if (options.IncludeStopWords || options.Stemmed) LoadWordLists();

  session.Append("Results for " + heading.substr(heading.find(' ') + 1) + "\r\n" +
                 (what == 2 ? "TRAINING" : what == 1 ? "TRIAL" : collection) + " essays; ");
  session.Append(options.Model == 1 ? " Multinomial" : " Multivariate Bernoulli");
  session.Append(" Model\r\n\r\n");

  result = RunResult();
  result.project = session.settings.sname;
  result.collection = CollectionOf(what);
  result.groups = groups;
  result.groupNames = session.settings.groupNames;
  result.heading = heading;
  result.settings = {options, session.settings.common, session.settings.rare,
                     session.settings.lowinfo, ScoringPriors(session), session.settings.rules};
  ConfusionTable& table = result.table;
  int& unreadable = result.unreadable;
  // Pane lines of essays that are no text or too large.
  std::vector<std::string>& skipped = result.skipped;
  bool failed = false;
  bool cancelled = false;
  int scored = 0;
  std::vector<ErrorEntry> errors;
  ResultLog log(session, what);
  if (options.LogAll) log.Start();

  const int sets = what == 3 ? 1 : groups;
  for (int s = 1; s <= sets; ++s) {
    std::string report = s == 1 ? ClassificationHeading(groups) : std::string();
    const std::string label = TrimmedNumber(s);
    ProgressHandle window = port.PROGRESS_INIT(heading);
    if (window == 0) break;

    SetFiles files(session, what, s);
    const int count = files.Count();
    std::vector<Essay> essays;
    for (; count > 0 && !files.AtEnd(); files.Next())
      essays.push_back({files.Name(),
                        files.Path(),
                        {0, options.CodeWords && files.Flag(1),
                         options.CodePhrases && files.Flag(2),
                         options.CodeArguments && files.Flag(3)}});
    // The leading essays classified early, as far as they are these.
    std::vector<Classified>* classifiedEarly = nullptr;
    size_t earlyCount = 0;
    if (early && static_cast<size_t>(s) <= early->results.size()) {
      classifiedEarly = &early->results[s - 1];
      const std::vector<std::string>& paths = early->paths[s - 1];
      while (earlyCount < paths.size() && earlyCount < essays.size() &&
             paths[earlyCount] == essays[earlyCount].path)
        ++earlyCount;
    }
    int counter = 0;
    Ahead ahead(classifier);
    for (size_t i = 0; i < essays.size(); ++i) {
      ++counter;
      const int position = counter * 100 / count + 1;
      if (port.PROGESS_IS_CANCELLED(window)) {
        cancelled = true;
        break;
      }
      port.ProcessPendingMessages();
      port.PROGRESS_SET(window, position,
                        "Working on file " + TrimmedNumber(counter) + " of " +
                            PlainNumber(count) + " in set " + label + " of" +
                            PlainNumber(groups));
      if (port.PROGESS_IS_CANCELLED(window)) {
        cancelled = true;
        break;
      }

      const Essay& file = essays[i];
      if (i >= earlyCount && !ahead.Holds(i)) {
        const FailureWatch watch(session.db);
        ahead.Classify(essays, i);
        if (watch.Failed()) {
          failed = true;
          break;
        }
      }
      Classified& done = i < earlyCount ? (*classifiedEarly)[i] : ahead.Result(i);
      const std::string& path = file.path;
      if (done.read != EssayRead::kRead) {
        // An essay that cannot be read has no prediction: scoring it as an
        // empty one would count a guess from the priors in the accuracy.
        session.Log(done.why);
        if (done.read == EssayRead::kNotText)
          skipped.push_back("Not a text file: " + path);
        else if (done.read == EssayRead::kTooLarge)
          skipped.push_back(EssayTooLargeMessage(path));
        else
          ++unreadable;
        continue;
      }
      const GroupScores& scores = done.scores;
      classifier.Scored(std::move(done.text), file.flags);
      const int predicted = PredictedGroup(scores, groups);
      ++table.count[s][predicted];
      ++scored;
      EssayResult essay{file.name, path, what == 3 ? 0 : s, predicted, {}};
      for (int g = 1; g <= groups; ++g)
        essay.probability[g] = static_cast<double>(scores.value[g]);
      result.essays.push_back(std::move(essay));
      if (options.LogAll)
        log.AppendLine(file.name, collection, what == 3 ? 0 : s, predicted, scores);
      if (predicted != s && (what == 1 || what == 2) && options.ShowErrors &&
          errors.size() < kMaxErrors)
        errors.push_back({path, ProbabilityText(s, predicted, scores, groups), s});
    }

    port.PROGRESS_SHUTDOWN(window);
    if (failed) break;
    report += ClassificationRow(table, s, groups, what);
    session.Append(report);
  }
  if (!failed) {
    const FailureWatch watch(session.db);
    classifier.Finish();
    failed = watch.Failed() || (work && !work->Commit());
  }

  if (failed) {
    // Results of essays scored against half-written work columns are no
    // results; the run ends without a report.
    session.ReportDatabaseFailure();
    session.Log("Scoring stopped: the database could not be used");
    return false;
  }
  if (what == 3 && log.Failed()) {
    session.Append("\r\nThe results could not be written to file " + log.Path() + "\r\n\r\n");
  } else if (scored == 0 && !cancelled) {
    // An accuracy over no essay is no result.
    session.Append("\r\nNo essay was scored.\r\n");
    session.Log("Scoring ended: no essay was scored");
  } else {
    session.Append(RunTotals(table, groups, what, session.settings));
    if (what == 1 || what == 2) session.Append(FiguresText(result));
  }
  if (unreadable > 0)
    session.Append(TrimmedNumber(unreadable) +
                   " essays could not be read and were not scored (see the project log)\r\n");
  for (const std::string& line : skipped) session.Append(line + "\r\n");

  if (options.LogAll && !log.Failed()) result.logPath = log.Path();
  bool done = !log.Failed() && (scored > 0 || cancelled);
  if (options.ShowErrors) {
    if (errors.empty()) {
      session.Message("No errors", "Error analysis");
    } else {
      std::vector<std::string> flagged;
      if (port.ShowErrorAnalysis(errors, groups, what, flagged) == 1 && what == 2) {
        // Untraining changes the training data for good, as a purge does.
        if (OfferBackup(port, session.db, session.settings.path2root, session.settings.sname,
                        [&session](const std::string& line) { session.Log(line); }) !=
            Answer::Cancel)
          done = RemoveFlaggedFiles(session, flagged) >= 0 && done;
        else
          done = false;
      }
    }
  }
  return done;
}

}  // namespace tarne
