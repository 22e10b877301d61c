// Scoring: the classifier, batch runs, their reports and the evaluation reports.
#pragma once

#include <string>
#include <vector>

#include "shell/port.h"

namespace tarne {

struct Session;

// Per-group scores of the last essay classified, groups 1..5 at [1]..[5].
struct GroupScores {
  long double value[6] = {0, 0, 0, 0, 0, 0};
};

// One token kind of one essay; scores is updated in place.
void ScoreEssay(Session& session, const std::string& text, const std::string& condition, int kind,
                std::string& listing, int showTokens, GroupScores& scores);
// Every kind whose flag is set, combined and normalised into scores.
void ClassifyEssay(Session& session, const std::string& text, int words, int phrases,
                   int arguments, int showTokens, std::string& listing, GroupScores& scores);
// The verdict report of one pasted essay (session.options.OneEssayText).
void OneEssayVerdict(Session& session);
// The verdict text for given posteriors (for tests and the desktop).
std::string VerdictText(const GroupScores& scores, int groups, const std::string& listing,
                        const std::string& essay);

// The Score command after the options are set: recompute, then One or a batch run.
void ScoringCommand(Session& session);
void BatchScoringRun(Session& session);

// True when an error entry's probability text is ticked in advance (98% or more).
bool IsPreTicked(const std::string& probabilities);

void ShowDatabaseStatistics(Session& session);
void ShowTopTokens(Session& session, int command);  // 70, 71, 73

}  // namespace tarne
