// The console port of tarne-cli: the pane is standard output, message boxes
// go to standard error, progress is one redrawn line on a terminal, and
// Ctrl-C presses Cancel.
#pragma once

#include <string>

#include "shell/pane.h"
#include "shell/port.h"
#include "shell/progress_model.h"

namespace tarne::cli {

// The pane's texts and messages end their lines in CR LF; standard output
// and standard error end them in LF, as every tool that reads them expects.
std::string ForConsole(const std::string& text);

class ConsolePort : public Port {
 public:
  ConsolePort();
  ~ConsolePort() override;

  int AppendToPane(const std::string& text) override;
  Answer MessageBox(const std::string& text, const std::string& caption, Buttons buttons,
                    Icon icon) override;
  ProgressHandle PROGRESS_INIT(const std::string& caption) override;
  void PROGRESS_SET(ProgressHandle window, int percent, const std::string& text) override;
  void PROGRESS_SHUTDOWN(ProgressHandle window) override;
  int PROGESS_IS_CANCELLED(ProgressHandle window) override;
  void ProcessPendingMessages() override;
  int ShowErrorAnalysis(const std::vector<ErrorEntry>& errors, int groups, int what,
                        std::vector<std::string>& flagged) override;
  // Asks on the terminal, without echo; "" when there is no terminal.
  std::string AskPassword(const std::string& connection) override;

  // How questions are answered: OK/Cancel confirmations are OK only when
  // confirm is set; the back-up question (Yes/No/Cancel) is Yes unless
  // backup is false.
  bool confirm = false;
  bool backup = true;
  // Error analysis: print the list; flag the pre-ticked essays for removal.
  bool printErrors = false;
  bool untrainFlagged = false;

  // JSON on standard output: the pane's text is not shown and the error
  // list goes to standard error, so that nothing but the JSON is there.
  bool jsonOutput = false;

  // Set when a confirmation was refused because --yes was missing.
  bool refusedConfirmation = false;
  // Set once Ctrl-C was seen.
  bool interrupted() const;

 private:
  void ClearProgressLine();
  PaneBuffer pane_;
  ProgressModel model_;
  bool terminal_ = false;
  bool lineShown_ = false;
};

}  // namespace tarne::cli
