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
