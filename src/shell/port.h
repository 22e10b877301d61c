// The one interface through which the core reaches its user.  The desktop
// program, the console and the tests each implement it; the core never talks
// to a window, a terminal or a file dialog directly.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarne {

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Icon { None, Exclamation, Question, Information };
// Values as the classic message-box results, so logs read familiarly.
enum class Answer { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

// A progress window, as PROGRESS_INIT hands it out.  0 means "could not be
// created".
using ProgressHandle = std::intptr_t;

// One misclassified essay of a scoring run: its path and its probability text
// (true group "* ##", predicted group "* ###", then each posterior x 100 "* ###.##").
struct ErrorEntry {
  std::string path;
  std::string probabilities;
  int trueGroup = 0;
};

class Port {
 public:
  virtual ~Port() = default;

  // Appends text at the end of the pane.  Answers 1 when appended, 0 when the
  // text was empty or would not fit (and then nothing is appended).
  virtual int AppendToPane(const std::string& text) = 0;

  // Appends one time-stamped line to the project log file logFile.  The base
  // version writes the file; front ends may also echo the message.
  virtual void WriteProjectLogLine(const std::string& logFile, const std::string& message);

  virtual Answer MessageBox(const std::string& text, const std::string& caption,
                            Buttons buttons, Icon icon) = 0;

  // The four progress operations, by the names the rest of the program knows.
  virtual ProgressHandle PROGRESS_INIT(const std::string& caption) = 0;
  virtual void PROGRESS_SET(ProgressHandle window, int percent, const std::string& text) = 0;
  virtual void PROGRESS_SHUTDOWN(ProgressHandle window) = 0;
  virtual int PROGESS_IS_CANCELLED(ProgressHandle window) = 0;

  // Lets pending user input run (the Cancel button, redraws).
  virtual void ProcessPendingMessages() = 0;

  // The error-analysis choice after a scoring run.  what: 1 trial, 2 train.
  // Answers 1 when essays were chosen for removal; flagged then holds them as
  // the two-character true group followed by the path.
  virtual int ShowErrorAnalysis(const std::vector<ErrorEntry>& errors, int groups, int what,
                                std::vector<std::string>& flagged) = 0;

  // Asks for the password of a database server (connection names it, never
  // holding one); "" when the user gives none.  Nothing keeps the answer.
  virtual std::string AskPassword(const std::string& connection) {
    (void)connection;
    return {};
  }
};

// The "Tarne" caption of message boxes.
inline constexpr const char* kProgramName = "Tarne";

}  // namespace tarne
