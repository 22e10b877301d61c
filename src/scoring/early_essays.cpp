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
  // A kind without a model built from the rows (none were selected) is
  // left to the run, which reads it from the table.
  if (!run_->Ready(flags)) return;
  ScoringScratch scratch;
  // The sets as the run takes them: a trial run's one by one, a new run's
  // one folder.
  const int sets = options.What == 3 ? 1 : settings.Groups();
  for (int s = 1; s <= sets; ++s) {
    const std::string folder = ScoredFolder(settings, options.What, s);
    std::vector<std::string>& paths = early_.paths.emplace_back();
    std::vector<Classified>& results = early_.results.emplace_back();
    for (const std::string& name : ListEssayFiles(folder)) {
      if (stop_) return;
      paths.push_back(JoinPath(folder, name));
      ReadAndClassify(*run_, paths.back(), flags, scratch, results.emplace_back());
    }
  }
}

void ReadAndClassify(const ScoringRun& run, const std::string& path, const int flags[4],
                     ScoringScratch& scratch, Classified& done) {
  done.read = ReadEssayText(path, done.text, done.why);
  if (done.read == EssayRead::kRead) run.Classify(done.text, flags, scratch, done.scores);
}

}  // namespace tarne
