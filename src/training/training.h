// Training: counting essays into the vocabulary tables, recomputing
// probabilities, untraining and maintenance.
#pragma once

#include <string>
#include <vector>

namespace tarne {

struct Session;

// Kind labels used in progress and log texts: " words", " phrases", " arguments".
const char* KindLabel(int kind);

// The ordinary files of folder, in ascending byte order of their names; empty
// when the folder text (trimmed) is empty or holds no "/".
std::vector<std::string> ListEssayFiles(const std::string& folder);
// Their number.
int CountFiles(const std::string& folder);

// Reads a whole file as bytes; false when it cannot be read.
bool ReadEssayFile(const std::string& path, std::string& text);

// Reads an essay for a run: the bytes decoded for the tokenizer (UTF-16 to
// UTF-8, a byte-order mark dropped).  False when the file cannot be read
// (logged) or is no text file ("Not a text file: " + path in the log and the
// pane); text is then empty.
bool ReadEssay(Session& session, const std::string& path, std::string& text);

// The training run for kind 1, 2 or 3.
void TrainKind(Session& session, int kind);

// Counts one essay into run1 (stemmed 0) or stem (stemmed 1) for group
// (trimmed text "1".."5").  text is normalised in place.
void AddEssay(Session& session, std::string& text, const std::string& group, int kind,
              int stemmed);

// The argument tokens of a quoted list of words: pairs of the words that are
// frequent (sum > 20) in the table, in ascending byte order.
std::string BuildArguments(Session& session, const std::string& list, int stemmed);

// Builds the selection condition for kind under the session's scoring
// options and, unless conditionOnly is 1, recomputes p, sum and entropy.
void Recompute(Session& session, std::string& condition, int kind, int conditionOnly);

// Removes every essay of the flagged-file list (two-character group + path).
void RemoveFlaggedFiles(Session& session, const std::vector<std::string>& flagged);
// Subtracts one essay for a removal code 1..6.
void RemoveEssay(Session& session, std::string& text, const std::string& group, int code);

// Maintenance commands.
void PurgeInfrequent(Session& session, int kind);       // commands 36, 37, 38
void PurgeAllOfKind(Session& session, int kind);        // commands 87 (2), 88 (3)
void EraseDatabase(Session& session);                   // command 86
void CompactCommand(Session& session);                  // command 42

}  // namespace tarne
