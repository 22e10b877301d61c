#include <cstdio>
#include <string>

#include "project/session.h"
#include "scoring/scoring.h"
#include "shell/numbers.h"

namespace tarne {

namespace {

bool WriteFile(const std::string& path, const std::string& text, const char* mode) {
  std::FILE* f = std::fopen(path.c_str(), mode);
  if (!f) return false;
  bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  if (std::fclose(f) != 0) ok = false;
  return ok;
}

// A text field: in double quotes, each quote inside doubled, so that a file
// name with quotes, commas or line breaks stays one field.
std::string CsvQuoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

}  // namespace

std::string ResultLogPath(const ProjectSettings& settings, int what) {
  return settings.path2root + settings.sname + (what == 3 ? "new.csv" : ".csv");
}

bool ResultLogHasSettings(const ScoringOptions& options, const CountingRules& rules) {
  return !options.ClassicSettings() || !rules.Classic();
}

std::string ResultLogHeader(bool settingsColumns) {
  std::string header =
      "\"file\",\"what\",\"group\",\"pred_grp\",\"prob_1\",\"prob_2\",\"prob_3\",\"prob_4\","
      "\"prob_5\",\"Model\",\"Stemmed\",\"StopWords\",\"CommonWords\",\"Words\",\"Phrases\"";
  if (settingsColumns)
    header += ",\"Arguments\",\"RareTokens\",\"LowInfoTokens\",\"StopWordsOnly\",\"Alpha\","
              "\"Priors\",\"AllSentences\",\"MinWordLength\"";
  return header + "\n";
}

std::string ResultLogLine(const std::string& file, const std::string& collection, int trueGroup,
                          int predicted, const GroupScores& scores, const ScoringOptions& options,
                          const CountingRules* rules) {
  std::string line = CsvQuoted(file) + "," + CsvQuoted(collection) + "," +
                     TrimmedNumber(trueGroup) + "," + TrimmedNumber(predicted) + ",";
  for (int g = 1; g <= 5; ++g) {
    // Rounded to 7 places through the mask, then written as a bare number.
    double rounded =
        NumericValue(FormatMask(static_cast<double>(scores.value[g]), "#.#######"));
    line += TrimmedNumber(rounded) + ",";
  }
  line += options.Model == 1 ? "\"Multinomial\"," : "\"Bernoulli\",";
  line += TrimmedNumber(options.Stemmed) + "," + TrimmedNumber(options.IncludeStopWords) + "," +
          TrimmedNumber(options.IncludeCommon) + "," + TrimmedNumber(options.CodeWords) + "," +
          TrimmedNumber(options.CodePhrases);
  if (rules) {
    line += "," + TrimmedNumber(options.CodeArguments) + "," + TrimmedNumber(options.IncludeRare) +
            "," + TrimmedNumber(options.IncludeLowInfo) + "," +
            TrimmedNumber(options.StopWordsOnly) + "," + TrimmedNumber(options.Alpha) + "," +
            (options.PriorsFromTraining ? "\"training\"," : "\"project\",") +
            TrimmedNumber(rules->allSentences ? 1 : 0) + "," + TrimmedNumber(rules->minWordLength);
  }
  return line + "\n";
}

ResultLog::ResultLog(Session& session, int what)
    : session_(session),
      path_(ResultLogPath(session.settings, what)),
      settingsColumns_(ResultLogHasSettings(session.options, session.settings.rules)) {}

void ResultLog::Report() {
  if (reported_) return;
  reported_ = true;
  std::string text = "Could not write file %s";
  text.replace(text.find("%s"), 2, path_);
  session_.Message(text, kProgramName, Buttons::Ok, Icon::Exclamation);
}

void ResultLog::Start() {
  if (!WriteFile(path_, ResultLogHeader(settingsColumns_), "wb")) Report();
}

void ResultLog::AppendLine(const std::string& file, const std::string& collection, int trueGroup,
                           int predicted, const GroupScores& scores) {
  if (!WriteFile(path_,
                 ResultLogLine(file, collection, trueGroup, predicted, scores, session_.options,
                               settingsColumns_ ? &session_.settings.rules : nullptr),
                 "ab"))
    Report();
}

Accuracy ComputeAccuracy(const ConfusionTable& table, int groups) {
  long long total = 0, exact = 0, near = 0;
  for (int s = 1; s <= groups; ++s) {
    for (int g = 1; g <= groups; ++g) {
      const int n = table.count[s][g];
      total += n;
      if (s == g) exact += n;
      if (s - g < 2 && g - s < 2) near += n;
    }
  }
  Accuracy a;
  if (total > 0) {
    a.exact = 100.0 * static_cast<double>(exact) / static_cast<double>(total);
    a.near = 100.0 * static_cast<double>(near) / static_cast<double>(total);
  }
  return a;
}

std::string ClassificationHeading(int groups) {
  std::string text = std::string(20, ' ') + "Observed Classifications\r\n" + std::string(24, ' ');
  for (int g = 1; g <= groups; ++g) text += FormatMask(g, "* #####");
  return text + "\r\n";
}

std::string ClassificationRow(const ConfusionTable& table, int set, int groups, int what) {
  const std::string label = (set == 1 && (what == 1 || what == 2)) ? "True" : "    ";
  std::string text;
  if (what == 3)
    text = std::string(21, ' ') + label;
  else
    text = std::string(15, ' ') + label + FormatMask(set, "  ##  ");
  for (int g = 1; g <= groups; ++g) text += FormatMask(table.count[set][g], "* #####");
  return text + "\r\n";
}

std::string RunTotals(const ConfusionTable& table, int groups, int what,
                      const ProjectSettings& settings) {
  std::string text = "\r\n";
  if (what == 3) {
    text += "Results are in file " + settings.path2root + settings.sname + "new.csv";
  } else {
    const Accuracy a = ComputeAccuracy(table, groups);
    text += std::string(24, ' ') + "Accuracy =      " + FormatMask(a.exact, "* ###.#") + "%\r\n";
    text += std::string(24, ' ') + "Near Accuracy = " + FormatMask(a.near, "* ###.#") + "%";
  }
  return text + "\r\n\r\n";
}

}  // namespace tarne
