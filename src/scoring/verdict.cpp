#include <string>

#include "project/session.h"
#include "scoring/results.h"
#include "scoring/scoring.h"
#include "shell/numbers.h"
#include "text/essay_encoding.h"
#include "text/word_lists.h"
#include "training/model_settings.h"

namespace tarne {

int VerdictWinner(const GroupScores& scores, int groups) {
  if (groups < 1) return 0;
  int best = 0;
  long double threshold = 1.0L / groups;
  for (int g = 1; g <= groups; ++g) {
    if (scores.value[g] > threshold) {
      best = g;
      threshold = scores.value[g];
    }
  }
  return best;
}

std::string VerdictText(const GroupScores& scores, int groups, const std::string& listing,
                        const std::string& essay) {
  std::string text = "According to my calculations:\r\n\r\n";
  for (int g = 1; g <= groups; ++g) {
    const long double p = scores.value[g];
    text += "   The probability of this essay coming from group" + PlainNumber(g) + " is ";
    if (p < 0.01)
      text += "less than .01";
    else if (p > 0.99)
      text += "greater than .99";
    else
      text += FormatMask(static_cast<double>(p), "#.####");
    text += "\r\n";
  }
  text += "\r\n";

  const int best = VerdictWinner(scores, groups);
  if (best > 0) {
    // The certainty bound is a single-precision 0.9, a shade below 0.9.
    if (scores.value[best] > static_cast<long double>(0.9f))
      text += "Therefore, I am very certain that the essay belongs in group" + PlainNumber(best);
    else
      text += "Therefore, I think the essay belongs in group" + PlainNumber(best);
    text += "\r\n\r\n";
  } else {
    text += "Therefore, I don't know.\r\n\r\n";
  }

  text += "-------------------------\r\n";
  text += "Words in the essay that were potentially the most revealing\r\n\r\n";
  text += listing;
  text += "\r\n---------------\r\n";
  text += essay;
  text += "\r\n\r\n";
  return text;
}

void OneEssayVerdict(Session& session, RunResult& result) {
  const ScoringOptions& options = session.options;
  if (options.IncludeStopWords || options.Stemmed) LoadWordLists();
  // A pasted text gets the decoding of an essay file, so that the same
  // essay gives the same verdict however it arrives.
  std::string essay = options.OneEssayText;
  DecodeEssayBytes(essay);
  std::string listing;
  GroupScores scores;
  ClassifyEssay(session, essay, options.CodeWords, options.CodePhrases, options.CodeArguments, 1,
                listing, scores);
  const int groups = session.settings.Groups();
  result = RunResult();
  result.project = session.settings.sname;
  result.collection = Collection::One;
  result.groups = groups;
  result.groupNames = session.settings.groupNames;
  result.settings = {options, session.settings.common, session.settings.rare,
                     session.settings.lowinfo, ScoringPriors(session), session.settings.rules};
  result.settings.options.OneEssayText.clear();
  result.listing = listing;
  EssayResult one;
  one.predicted = VerdictWinner(scores, groups);
  for (int g = 1; g <= groups; ++g) one.probability[g] = static_cast<double>(scores.value[g]);
  result.essays.push_back(one);
  session.Append(VerdictText(scores, groups, listing, essay));
}

}  // namespace tarne
