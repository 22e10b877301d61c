#include <future>
#include <memory>
#include <string>

#include "db/server_transaction.h"
#include "project/run_lock.h"
#include "project/session.h"
#include "shell/blanks.h"
#include "scoring/early_essays.h"
#include "scoring/kind_model.h"
#include "scoring/results.h"
#include "scoring/scoring.h"
#include "training/selected_rows.h"
#include "training/training.h"

namespace tarne {

namespace {

// The folders a trial or new run reads must be there and readable: a
// missing one, or one that cannot be listed, would score nothing and report
// an accuracy of nothing.
bool ScoredFoldersExist(Session& session) {
  const ProjectSettings& s = session.settings;
  std::vector<std::pair<std::string, std::string>> folders;
  if (session.options.What == 1) {
    for (int g = 1; g <= s.Groups() && g <= static_cast<int>(s.path2trial.size()); ++g)
      folders.emplace_back("The trial folder of group " + std::to_string(g), s.path2trial[g - 1]);
  } else if (session.options.What == 3) {
    folders.emplace_back("The new-essay folder", s.path2new);
  }
  for (const auto& [what, folder] : folders) {
    const std::string problem = FolderProblem(folder);
    if (problem.empty()) continue;
    session.Message(what + " " + problem + ":\r\n" + folder, kProgramName, Buttons::Ok,
                    Icon::Exclamation);
    return false;
  }
  return true;
}

}  // namespace

bool ScoringCommand(Session& session) {
  RunResult result;
  return ScoringCommand(session, result);
}

bool ScoringCommand(Session& session, RunResult& result) {
  ScoringOptions& options = session.options;
  if (options.What == 4 && options.OneEssayText.empty()) {
    session.Message("You need to enter text");
    return false;
  }
  if (options.What == 4 && options.OneEssayText.size() > kEssayLimitBytes) {
    const std::string why = EssayTooLargeMessage("the essay entered");
    session.Log(why);
    session.Append(why + "\r\n");
    return false;
  }
  if (!options.CodeWords && !options.CodePhrases && !options.CodeArguments) options.CodeWords = 1;
  RunLock lock(session);
  if (!lock.Held() || !ScoredFoldersExist(session)) return false;
  // On a server the project's other users see the recomputation under these
  // options and the essay marks only once the run is through, all at once.
  ServerTransaction work(session.db, ServerTransaction::Kind::kWrite);

  // Probabilities and information gains must match these options before any
  // essay is scored.
  // A batch run scores with the rows the recomputation selected.  The
  // models of words and phrases are built on other threads while their
  // rows are written and the next kind is recomputed; that of arguments
  // reads the frequent words from the table, so it waits for the writes.
  const int flags[4] = {0, options.CodeWords, options.CodePhrases, options.CodeArguments};
  const bool batch = options.What != 4;
  SelectedRows selected[4];
  std::future<std::unique_ptr<KindModel>> building[4];
  const auto build = [](std::unique_ptr<KindModel> model, SelectedRows rows) {
    if (rows.rows.empty()) return std::unique_ptr<KindModel>();
    model->Take(std::move(rows));
    return model;
  };
  // A trial or new run without arguments classifies its first essays
  // while the last kind's rows are written (EarlyEssays): by then every
  // model is being built, and the essays come from folders.
  const int lastKind = flags[3] ? 3 : flags[2] ? 2 : 1;
  const bool early = batch && !flags[3] && (options.What == 1 || options.What == 3);
  std::unique_ptr<EarlyEssays> classifying;
  for (int kind = 1; kind <= 3; ++kind) {
    if (!flags[kind]) continue;
    std::string condition;
    std::function<void(SelectedRows&)> handOver;
    if (batch && kind != 3)
      handOver = [&](SelectedRows& rows) {
        building[kind] = std::async(std::launch::async, build,
                                    std::make_unique<KindModel>(session, kind), std::move(rows));
        if (early && kind == lastKind)
          classifying = std::make_unique<EarlyEssays>(session, building);
      };
    bool cancelled = false;
    Recompute(session, condition, KindOf(kind), false, batch ? &selected[kind] : nullptr,
              handOver, &cancelled);
    // Without trained essays the recomputation has said so and built no
    // condition; scoring on would repeat that message for every essay and
    // kind and report predictions made from the priors alone.  A run
    // cancelled while recomputing ends there, with no essay scored.
    if (condition.empty()) return false;
  }
  std::unique_ptr<KindModel> models[4];
  for (int kind = 1; kind <= 3 && batch; ++kind) {
    if (building[kind].valid())
      models[kind] = building[kind].get();
    else if (!selected[kind].rows.empty())
      models[kind] = build(std::make_unique<KindModel>(session, kind), std::move(selected[kind]));
  }

  if (options.What == 4) {
    const FailureWatch watch(session.db);
    OneEssayVerdict(session, result);
    if (!watch.Failed() && work.Commit()) return true;
    session.ReportDatabaseFailure();
    return false;
  }
  if (classifying) {
    EarlyResults classified;
    const std::unique_ptr<ScoringRun> run = classifying->Finish(classified);
    return BatchScoringRun(session, result, *run, &classified, &work);
  }
  return BatchScoringRun(session, result, models, &work);
}

}  // namespace tarne
