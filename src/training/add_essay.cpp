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
  // A server's table has no index on the text, so its texts of the kind
  // are read once rather than each token looked up.
  if (db.IsServer())
    vocabulary.Load();
  else
    vocabulary.LoadFrequentWords();
  vocabulary.CountEssay(text);
  vocabulary.Flush(group);
  if (kind == 1 && stemmed != 1)
    db.Statement(1, "Update trainsize set g" + group + " = g" + group + "+1");
}

}  // namespace tarne
