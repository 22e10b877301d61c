// Pieces shared by the training, untraining and recomputation code.
#pragma once

#include <string>
#include <vector>

#include "shell/blanks.h"

namespace tarne {

class Database;

// "stem" for stemmed 1, "run1" otherwise.
inline const char* TableName(int stemmed) { return stemmed == 1 ? "stem" : "run1"; }

// The calib flag column of a kind.
const char* CalibFlag(int kind);

// Splits a quoted token list at its commas.
std::vector<std::string> SplitList(const std::string& list);

// How one sentence's tokens are counted into thisessay.  The training and
// untraining statements differ in spelling, not in what they do.
struct MarkingTexts {
  std::string table;
  std::string kindClause;
  std::string markPrefix;  // "Update <table> set thisessay...+1 "
  int firstFetchRow = 0;
};

// Runs the marking passes over list (at most 101).  Answers what is left of
// the list: tokens the table does not hold, each occurrence once.  When the
// pass limit stops the marking with known tokens still in the list, those are
// dropped from the answer so that no caller inserts a second row for them.
std::string MarkSentence(Database& db, const MarkingTexts& texts, std::string list);

// The statement that clears the work column before an essay.  Only rows that
// hold a count are touched, so the cost stays with the essay, not the table.
std::string ClearThisEssay(const std::string& table);

}  // namespace tarne
