// A trial or new run's first essays, read and classified while the
// recomputation of its last token kind still writes the rows.  The models
// are built from the rows before they are written, and these essays come
// from folders, so neither needs the database.  The run takes what was
// classified early in its own order and classifies the rest itself.
#pragma once

#include <atomic>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "scoring/scoring.h"
#include "training/training.h"

namespace tarne {

class KindModel;
struct Session;

// An essay read and classified.
struct Classified {
  EssayRead read = EssayRead::kRead;
  std::string why;   // what the log is told when it could not be read
  std::string text;  // the essay as read
  GroupScores scores;
};

// Reads the essay at path into done and, when it is text, classifies it
// (ScoringRun::Classify, so on any thread with a scratch of its own).
void ReadAndClassify(const ScoringRun& run, const std::string& path, const int flags[4],
                     ScoringScratch& scratch, Classified& done);

// The essays classified early, set by set, each with its path.
struct EarlyResults {
  std::vector<std::vector<std::string>> paths;  // [set - 1]
  std::vector<std::vector<Classified>> results;
};

class EarlyEssays {
 public:
  using Building = std::future<std::unique_ptr<KindModel>>;
  // Takes over the models being built (kinds 1..3 of building; the kinds
  // the run scores) and starts classifying on another thread once they are
  // built.  The run's classifier is made here, on the calling thread, as
  // it reads the priors from the database.
  EarlyEssays(Session& session, Building building[4]);
  // Stops at the essay under way and waits for it.
  ~EarlyEssays();
  EarlyEssays(const EarlyEssays&) = delete;
  EarlyEssays& operator=(const EarlyEssays&) = delete;

  // Stops, and hands over the classifier with the models and what was
  // classified.
  std::unique_ptr<ScoringRun> Finish(EarlyResults& early);

 private:
  void Classify(std::vector<Building> building);

  Session& session_;
  std::unique_ptr<ScoringRun> run_;
  EarlyResults early_;
  std::atomic<bool> stop_{false};
  std::future<void> work_;
};

}  // namespace tarne
