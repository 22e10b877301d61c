#include "training/model_settings.h"

#include "db/gateway.h"
#include "project/session.h"
#include "shell/numbers.h"

namespace tarne {

std::string MultinomialExpression(int g, double groupTotal, double vocabulary, double alpha) {
  const std::string gt = TrimmedNumber(g);
  if (alpha == 1)
    return PlainNumber(0) + "+(v" + gt + "+1)/(" + TrimmedNumber(groupTotal) + "+" +
           PlainNumber(vocabulary) + ")";
  const std::string a = TrimmedNumber(alpha);
  return PlainNumber(0) + "+(v" + gt + "+" + a + ")/(" + TrimmedNumber(groupTotal) + "+" + a +
         "*" + PlainNumber(vocabulary) + ")";
}

std::string BernoulliExpression(int g, double groupEssays, double alpha) {
  const std::string gt = TrimmedNumber(g);
  if (alpha == 1)
    return PlainNumber(0) + "+(1 + w" + gt + ")/( 2+" + PlainNumber(groupEssays) + ")";
  const std::string a = TrimmedNumber(alpha);
  return PlainNumber(0) + "+(" + a + " + w" + gt + ")/(2*" + a + "+" + PlainNumber(groupEssays) +
         ")";
}

EstimateTexts MultinomialTexts(double groupTotal, double vocabulary, double alpha) {
  if (alpha == 1) return {"1", "(" + TrimmedNumber(groupTotal) + "+" + PlainNumber(vocabulary) + ")"};
  const std::string a = TrimmedNumber(alpha);
  return {a, "(" + TrimmedNumber(groupTotal) + "+" + a + "*" + PlainNumber(vocabulary) + ")"};
}

EstimateTexts BernoulliTexts(double groupEssays, double alpha) {
  if (alpha == 1) return {"1", "( 2+" + PlainNumber(groupEssays) + ")"};
  const std::string a = TrimmedNumber(alpha);
  return {a, "(2*" + a + "+" + PlainNumber(groupEssays) + ")"};
}

std::vector<double> ScoringPriors(Session& session, const std::vector<double>& trainedPerGroup) {
  const int groups = session.settings.Groups();
  std::vector<double> priors(static_cast<size_t>(groups > 0 ? groups : 0), 0.0);
  for (int g = 1; g <= groups && g <= static_cast<int>(session.settings.priors.size()); ++g)
    priors[g - 1] = session.settings.priors[g - 1];
  if (!session.options.PriorsFromTraining) return priors;
  double total = 0;
  for (int g = 1; g <= groups && g <= static_cast<int>(trainedPerGroup.size()); ++g)
    total += trainedPerGroup[g - 1];
  if (total <= 0) return priors;
  for (int g = 1; g <= groups; ++g)
    priors[g - 1] =
        g <= static_cast<int>(trainedPerGroup.size()) ? trainedPerGroup[g - 1] / total : 0;
  return priors;
}

std::vector<double> ScoringPriors(Session& session) {
  std::vector<double> trained;
  if (session.options.PriorsFromTraining) {
    Database& db = session.db;
    db.Statement(1, "SELECT g1, g2, g3, g4, g5 from trainsize");
    db.FetchResult(1, 0);
    if (db.EndOfData(1) == 0)
      for (int g = 1; g <= session.settings.Groups(); ++g) trained.push_back(db.ColumnUInt(1, g));
  }
  return ScoringPriors(session, trained);
}

}  // namespace tarne
