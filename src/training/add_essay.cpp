#include <algorithm>

#include "db/gateway.h"
#include "project/session.h"
#include "shell/numbers.h"
#include "text/tokenizer.h"
#include "text/word_lists.h"
#include "training/training.h"
#include "training/training_internal.h"

namespace tarne {

namespace {

const char* AddKindClause(int kind) {
  switch (kind) {
    case 2: return " AND IsPhrase=1";
    case 3: return " AND IsArg=1";
    default: return " AND IsWord=1";
  }
}

const char* KindColumn(int kind) {
  switch (kind) {
    case 2: return ",IsPhrase";
    case 3: return ",IsArg";
    default: return ",IsWord";
  }
}

// One found or new token with its quotes removed is tested; a pair is a stop
// token when either word is a stop word.
int StopFlag(const std::string& quoted) {
  std::string token = quoted.size() >= 2 ? quoted.substr(1, quoted.size() - 2) : quoted;
  size_t blank = token.find(' ');
  if (blank == std::string::npos) return IsStopWord(token) ? 1 : 0;
  if (IsStopWord(std::string_view(token).substr(0, blank))) return 1;
  return IsStopWord(std::string_view(token).substr(blank + 1)) ? 1 : 0;
}

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
  const std::string table = TableName(stemmed);
  NormalizeEssayText(text);
  db.Statement(1, ClearThisEssay(table));

  MarkingTexts texts{table, AddKindClause(kind),
                     "Update " + table + " set thisessay= thisessay +1 ", -1};
  for (std::string_view sentence : SplitSentences(text)) {
    std::string list = BuildSentenceTokenList(sentence, kind, stemmed == 1);
    if (kind == 3 && list.size() > 4) list = BuildArguments(session, list, stemmed);
    // The first sentence without tokens ends the essay's counting.
    if (list.size() < 3) break;
    std::string rest = MarkSentence(db, texts, list);
    if (rest.empty()) continue;
    std::vector<std::string> fresh = SplitList(rest);
    std::sort(fresh.begin(), fresh.end());
    fresh.erase(std::unique(fresh.begin(), fresh.end()), fresh.end());
    for (const std::string& token : fresh) {
      db.Statement(1, "INSERT INTO " + table + " (Vocab,thisessay" + KindColumn(kind) +
                          ",IsStop) VALUES (" + token + ",1,1," +
                          PlainNumber(StopFlag(token)) + ")");
    }
  }

  db.Statement(1, "Update " + table + " set v" + group + "=v" + group +
                      "+ thisessay where thisessay > 0");
  db.Statement(1, "Update " + table + " set w" + group + "=w" + group +
                      "+1 where thisessay > 0");
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
