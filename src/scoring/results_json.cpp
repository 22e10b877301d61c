#include "scoring/results_json.h"

#include <cmath>
#include <ctime>
#include <nlohmann/json.hpp>

#include "project/settings.h"

namespace tarne {

namespace {

// Fields keep the order they are written in, so the documents read top down.
using json = nlohmann::ordered_json;

// NaN has no JSON form: an undefined figure is null.
json Real(double value) { return std::isnan(value) ? json(nullptr) : json(value); }
// Tokens and file names from single-byte essays need not be UTF-8: such
// bytes become U+FFFD rather than ending the program.
std::string Dump(const json& doc) {
  return doc.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}
// Local time as ISO 8601, for programs.
std::string IsoTime(std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%S", &local);
  return buf;
}

json GroupOrNull(int group) { return group > 0 ? json(group) : json(nullptr); }

// The groups' names, one per group: null for a group without one.
json GroupNames(const std::vector<std::string>& names, int groups) {
  json out = json::array();
  for (int g = 1; g <= groups; ++g) {
    const std::string name = GroupName(names, g);
    out.push_back(name.empty() ? json(nullptr) : json(name));
  }
  return out;
}

json Settings(const RunSettings& s) {
  const ScoringOptions& o = s.options;
  json kinds = json::array();
  if (o.CodeWords) kinds.push_back(Name(TokenKind::Words));
  if (o.CodePhrases) kinds.push_back(Name(TokenKind::Pairs));
  if (o.CodeArguments) kinds.push_back(Name(TokenKind::Arguments));
  return {{"model", Name(ModelOf(o.Model))},
          {"stemmed", o.Stemmed == 1},
          {"stop_words", o.IncludeStopWords != 0},
          {"common_tokens", o.IncludeCommon != 0},
          {"rare_tokens", o.IncludeRare != 0},
          {"low_info_tokens", o.IncludeLowInfo != 0},
          {"kinds", kinds},
          {"thresholds", {{"common", s.common}, {"rare", s.rare}, {"low_info", s.lowinfo}}},
          {"priors", s.priors},
          {"alpha", o.Alpha},
          {"priors_from_training", o.PriorsFromTraining != 0},
          {"stop_words_only", o.StopWordsOnly != 0},
          {"counting_rules",
           {{"all_sentences", s.rules.allSentences}, {"min_word_length", s.rules.minWordLength}}}};
}

json FiguresJson(const RunResult& r) {
  const Figures f = ComputeFigures(r.table, r.groups);
  json groups = json::array();
  for (int g = 1; g <= r.groups; ++g)
    groups.push_back({{"group", g},
                      {"essays", f.group[g].essays},
                      {"predicted", f.group[g].predicted},
                      {"precision", f.group[g].precision},
                      {"recall", f.group[g].recall},
                      {"f1", f.group[g].f1}});
  return {{"scored", f.scored},
          {"accuracy", f.accuracy / 100},
          {"near_accuracy", f.nearAccuracy / 100},
          {"qwk", Real(f.qwk)},
          {"kappa", Real(f.kappa)},
          {"groups", groups}};
}

}  // namespace

std::string RunResultJson(const RunResult& r) {
  json essays = json::array();
  for (const EssayResult& e : r.essays) {
    json p = json::array();
    for (int g = 1; g <= r.groups; ++g) p.push_back(e.probability[g]);
    essays.push_back({{"file", e.file},
                      {"path", e.path},
                      {"true_group", GroupOrNull(e.trueGroup)},
                      {"predicted_group", GroupOrNull(e.predicted)},
                      {"probabilities", p}});
  }
  const bool known = r.collection == Collection::Trial || r.collection == Collection::Train;
  json table = json::array();
  json none = json::array();
  if (r.collection != Collection::One) {
    for (int s = 1; s <= (known ? r.groups : 1); ++s) {
      json row = json::array();
      for (int g = 1; g <= r.groups; ++g) row.push_back(r.table.count[s][g]);
      table.push_back(row);
      none.push_back(r.table.count[s][0]);
    }
  }
  json doc = {{"format", kJsonFormat},
              {"report", "score"},
              {"project", r.project},
              {"collection", Name(r.collection)},
              {"groups", r.groups},
              {"group_names", GroupNames(r.groupNames, r.groups)},
              {"settings", Settings(r.settings)},
              {"essays", essays},
              {"observed_by_predicted", table},
              {"no_prediction", none},
              {"figures", known ? FiguresJson(r) : json(nullptr)},
              {"not_read", r.unreadable},
              {"skipped", r.skipped},
              {"not_read_or_scored", r.NotScored()},
              {"result_log", r.logPath.empty() ? json(nullptr) : json(r.logPath)}};
  return Dump(doc);
}

std::string StatisticsJson(const DatabaseStatistics& s) {
  auto table = [&s](const TableStatistics& t) {
    auto kinds = [](const KindCounts (&k)[3]) {
      json out;
      for (int i = 0; i < 3; ++i)
        out[Name(KindOf(i + 1))] = {{"occurrences", k[i].total}, {"distinct", k[i].distinct}};
      return out;
    };
    json groups = json::array();
    for (int g = 1; g <= s.groups; ++g) groups.push_back(kinds(t.kinds[g]));
    json rare;
    for (int i = 0; i < 3; ++i) rare[Name(KindOf(i + 1))] = t.rare[i];
    return json{{"total", kinds(t.kinds[0])}, {"groups", groups}, {"rare", rare},
                {"common", t.common}};
  };
  json trained = json::array();
  for (int g = 1; g <= s.groups; ++g) trained.push_back(s.trained[g]);
  json doc = {{"format", kJsonFormat},
              {"report", "stats"},
              {"project", s.project},
              {"time", IsoTime(s.when)},
              {"groups", s.groups},
              {"group_names", GroupNames(s.groupNames, s.groups)},
              {"trained_essays", trained},
              {"thresholds", {{"rare", s.rare}, {"common", s.common}}},
              {"unstemmed", table(s.unstemmed)},
              {"stemmed", table(s.stemmed)},
              {"stop_words", s.stopWords}};
  return Dump(doc);
}

std::string TopTokensJson(const TopTokens& top) {
  json rows = json::array();
  int rank = 0;
  for (const TopToken& t : top.rows) {
    json counts = json::array(), p = json::array();
    for (int g = 1; g <= top.groups; ++g) {
      counts.push_back(t.count[g]);
      p.push_back(t.p[g]);
    }
    rows.push_back({{"rank", ++rank},
                    {"token", t.token},
                    {"counts", counts},
                    {"probabilities", p},
                    {"info_gain", t.gain}});
  }
  json doc = {{"format", kJsonFormat}, {"report", "top"},     {"project", top.project},
              {"kind", Name(top.kind)}, {"groups", top.groups},
              {"group_names", GroupNames(top.groupNames, top.groups)}, {"tokens", rows}};
  return Dump(doc);
}

}  // namespace tarne
