#include <algorithm>

#include "db/gateway.h"
#include "project/session.h"
#include "shell/numbers.h"
#include "text/tokenizer.h"
#include "text/word_lists.h"
#include "training/training.h"
#include "training/run_vocabulary.h"
#include "training/training_internal.h"

namespace tarne {

namespace {

std::string FoundTokens(Database& db, const MarkingTexts& texts, const std::string& list) {
  db.Statement(1, "SELECT Distinct Vocab FROM " + texts.table + " WHERE Vocab in (" + list +
                      ")" + texts.kindClause);
  std::string found;
  db.FetchResult(1, texts.firstFetchRow);
  while (db.EndOfData(1) == 0) {
    found += "'" + db.ColumnText(1, 1) + "',";
    db.FetchResult(1, 0);
  }
  if (!found.empty()) found.pop_back();
  return found;
}

}  // namespace

std::string ClearThisEssay(const std::string& table) {
  return "Update " + table + " set thisessay=0 where thisessay<>0";
}

std::string MarkSentence(Database& db, const MarkingTexts& texts, std::string list) {
  int passes = 0;
  std::string found;
  while (true) {
    found = FoundTokens(db, texts, list);
    if (!found.empty())
      db.Statement(1, texts.markPrefix + "WHERE Vocab IN (" + found + ")" + texts.kindClause);
    // One occurrence of every known token is taken out per pass, so a token
    // listed k times is counted k times.
    list += ",";
    for (const std::string& element : SplitList(found)) {
      size_t at = list.find(element + ",");
      if (at != std::string::npos) list.erase(at, element.size() + 1);
    }
    if (!list.empty() && list.back() == ',') list.pop_back();
    ++passes;
    if (found.empty() || list.empty() || passes > 100) break;
  }
  if (passes > 100 && !found.empty() && !list.empty()) {
    // The pass limit was reached with known tokens left over: they must not
    // reach the insert step, which would give them a second row.
    std::string known = "," + FoundTokens(db, texts, list) + ",";
    std::string rest;
    for (const std::string& element : SplitList(list))
      if (known.find("," + element + ",") == std::string::npos) rest += element + ",";
    if (!rest.empty()) rest.pop_back();
    list = rest;
  }
  return list;
}

void AddEssay(Session& session, std::string& text, const std::string& group, int kind,
              int stemmed) {
  LoadWordLists();
  Database& db = session.db;
  NormalizeEssayText(text);
  RunVocabulary vocabulary(db, stemmed, kind, session.settings.rules);
  vocabulary.LoadFrequentWords();
  vocabulary.CountEssay(text);
  vocabulary.Flush(group);
  if (kind == 1 && stemmed != 1)
    db.Statement(1, "Update trainsize set g" + group + " = g" + group + "+1");
}

std::string BuildArguments(Session& session, const std::string& list, int stemmed) {
  Database& db = session.db;
  // Ordered, so that training, untraining and scoring put the two words of
  // an argument in the same order.
  db.Statement(1, std::string("SELECT Vocab FROM ") + TableName(stemmed) + " WHERE Vocab in (" +
                      list + ") AND isword=1 " + " AND sum > 20 ORDER BY Vocab");
  std::vector<std::string> words;
  db.FetchResult(1, 0);
  while (db.EndOfData(1) == 0) {
    words.push_back(db.ColumnText(1, 1));
    db.FetchResult(1, 0);
  }
  std::string out;
  for (size_t i = 0; i + 1 < words.size(); ++i)
    for (size_t j = i + 1; j < words.size(); ++j) out += "'" + words[i] + " " + words[j] + "',";
  if (!out.empty()) out.pop_back();
  return out;
}

}  // namespace tarne
