#include <string>

#include "project/session.h"
#include "scoring/scoring.h"
#include "training/training.h"

namespace tarne {

bool ScoringCommand(Session& session) {
  ScoringOptions& options = session.options;
  if (options.What == 4 && options.OneEssayText.empty()) {
    session.Message("You need to enter text");
    return false;
  }
  if (!options.CodeWords && !options.CodePhrases && !options.CodeArguments) options.CodeWords = 1;

  // Probabilities and information gains must match these options before any
  // essay is scored.
  const int flags[4] = {0, options.CodeWords, options.CodePhrases, options.CodeArguments};
  for (int kind = 1; kind <= 3; ++kind) {
    if (!flags[kind]) continue;
    std::string condition;
    Recompute(session, condition, kind, 0);
    // Without trained essays the recomputation has said so and built no
    // condition; scoring on would repeat that message for every essay and
    // kind and report predictions made from the priors alone.
    if (condition.empty()) return false;
  }

  if (options.What == 4)
    OneEssayVerdict(session);
  else
    BatchScoringRun(session);
  return true;
}

}  // namespace tarne
