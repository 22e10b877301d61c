// Training: counting essays into the vocabulary tables, recomputing
// probabilities, untraining and maintenance.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "shell/file_bytes.h"
#include "shell/kinds.h"

namespace tarne {

struct Session;
struct SelectedRows;

// Kind labels used in progress and log texts: " words", " phrases", " arguments".
const char* KindLabel(int kind);

// The ordinary files of folder, in ascending byte order of their names; empty
// when the folder text (trimmed) is empty or holds no "/".  False, with names
// empty and why the system's reason, when the folder cannot be listed.
bool ListEssayFolder(const std::string& folder, std::vector<std::string>& names,
                     std::string& why);
// The same, taking a folder that cannot be listed as empty.
std::vector<std::string> ListEssayFiles(const std::string& folder);
// Why a run could not read folder: "does not exist" or "cannot be read
// (reason)"; "" when it can be listed or is not given (blank).
std::string FolderProblem(const std::string& folder);
// Their number.
int CountFiles(const std::string& folder);
// folder and name with exactly one "/" between them, whether or not the
// folder text ends with one.
std::string JoinPath(const std::string& folder, const std::string& name);
// IsFolder (whether a folder exists) comes with shell/file_bytes.h.

// Reads a whole file as bytes; false when it cannot be read or is longer
// than an essay may be (kEssayLimitBytes).
bool ReadEssayFile(const std::string& path, std::string& text);

// How reading an essay for a run went.
enum class EssayRead { kRead, kUnreadable, kNotText, kTooLarge };

// Reads an essay for a run: the bytes decoded for the tokenizer (UTF-16 to
// UTF-8, a byte-order mark dropped).  When it fails, text is empty and the
// log says why ("Could not read file ", "Not a text file: " and the path, or
// "Essay too large: " and the path with the limit);
// with tellPane the pane gets the same line at once.
EssayRead ReadEssay(Session& session, const std::string& path, std::string& text, bool tellPane);
// The same without telling anyone: why is the line ReadEssay would write.
EssayRead ReadEssayText(const std::string& path, std::string& text, std::string& why);

// A to Z lower-cased, every other byte kept: what a training run does to an
// essay's text before counting it (the tokenizer lower-cases the rest).
std::string LowerAscii(std::string text);

// The training run for a kind of token.  Answers false when it could not
// start or stopped on a failure (the user has been told why); a Cancel is
// not a failure.
bool TrainKind(Session& session, TokenKind kind);

// Counts one essay into run1 (stemmed 0) or stem (stemmed 1) for group
// (trimmed text "1".."5").  text is normalised in place.
void AddEssay(Session& session, std::string& text, const std::string& group, int kind,
              int stemmed);


// Builds the selection condition for kind under the session's scoring
// options and, unless conditionOnly, recomputes p, sum and entropy.
// Answers false, with condition emptied, when nothing is trained or the
// recomputation failed (the user has been told).
bool Recompute(Session& session, std::string& condition, TokenKind kind, bool conditionOnly);
// The same, and when selected is given it receives the rows a scoring run
// with these options reads.  handOver, when given, is called with them as
// soon as they are known, before the rows are written: whatever it starts
// may go on beside the write, but must not use the database, and must be
// given up when Recompute answers false.  With cancelled given, a Cancel
// of the run (the port's progress window) is looked for while the rows are
// read and written, the port's pending messages let through first (so the
// caller's front end must hold its other commands meanwhile, as for any
// run): the recomputation then stops, writes nothing of this
// kind (what it had written is rolled back), sets *cancelled and answers
// false without a message.
bool Recompute(Session& session, std::string& condition, TokenKind kind, bool conditionOnly,
               SelectedRows* selected,
               const std::function<void(SelectedRows&)>& handOver = {},
               bool* cancelled = nullptr);

// Removes every essay of the flagged-file list (two-character group + path).
// Each file is subtracted from the group its training record names.
// Answers the number of files removed, or -1 when the removal could not
// start or stopped on a failure.
int RemoveFlaggedFiles(Session& session, const std::vector<std::string>& flagged);
// Subtracts one essay for a removal code 1..6.
void RemoveEssay(Session& session, std::string& text, const std::string& group, int code);

// Maintenance commands.  Each answers true when it did its work, false when
// it was refused, cancelled or failed (the user has been told).
bool PurgeInfrequent(Session& session, TokenKind kind);
bool PurgeAllOfKind(Session& session, TokenKind kind);  // pairs or arguments
bool EraseDatabase(Session& session);                   // command 86
bool CompactCommand(Session& session);                  // command 42

}  // namespace tarne
