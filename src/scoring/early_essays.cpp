#include "scoring/early_essays.h"

#include "project/session.h"
#include "scoring/kind_model.h"

namespace tarne {

EarlyEssays::EarlyEssays(Session& session, Building building[4])
    : session_(session), run_(std::make_unique<ScoringRun>(session)) {
  std::vector<Building> models(4);
  for (int kind = 1; kind <= 3; ++kind) models[kind] = std::move(building[kind]);
  work_ = std::async(std::launch::async, &EarlyEssays::Classify, this, std::move(models));
}

EarlyEssays::~EarlyEssays() {
  stop_ = true;
  if (work_.valid()) work_.wait();
}

std::unique_ptr<ScoringRun> EarlyEssays::Finish(EarlyResults& early) {
  stop_ = true;
  work_.get();
  early = std::move(early_);
  return std::move(run_);
}

void EarlyEssays::Classify(std::vector<Building> building) {
  for (int kind = 1; kind <= 3; ++kind) {
    if (!building[kind].valid()) continue;
    std::unique_ptr<KindModel> model = building[kind].get();
    if (model) run_->Adopt(kind, std::move(model));
  }
  const ScoringOptions& options = session_.options;
  const ProjectSettings& settings = session_.settings;
  const int flags[4] = {0, options.CodeWords, options.CodePhrases, options.CodeArguments};
  // The folders as the run lists them: a trial run's set by set, a new
  // run's one.
  std::vector<std::string> folders;
  if (options.What == 3) {
    folders.push_back(settings.path2new);
  } else {
    for (int s = 1; s <= settings.Groups(); ++s)
      folders.push_back(s <= static_cast<int>(settings.path2trial.size())
                            ? settings.path2trial[s - 1]
                            : std::string());
  }
  // A kind without a model built from the rows (none were selected) is
  // left to the run, which reads it from the table.
  if (!run_->Ready(flags)) return;
  ScoringScratch scratch;
  for (const std::string& folder : folders) {
    std::vector<std::string>& paths = early_.paths.emplace_back();
    std::vector<Classified>& results = early_.results.emplace_back();
    for (const std::string& name : ListEssayFiles(folder)) {
      if (stop_) return;
      Classified& done = results.emplace_back();
      paths.push_back(JoinPath(folder, name));
      done.read = ReadEssayText(paths.back(), done.text, done.why);
      if (done.read == EssayRead::kRead) run_->Classify(done.text, flags, scratch, done.scores);
    }
  }
}

}  // namespace tarne
