// A port for tests: records every call and answers scripted buttons.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "shell/pane.h"
#include "shell/port.h"
#include "shell/progress_model.h"

namespace tarne::testing {

struct RecordedMessage {
  std::string text;
  std::string caption;
  Buttons buttons;
  Icon icon;
  Answer answer;
};

struct RecordedProgress {
  std::string caption;
  std::vector<std::string> texts;  // every PROGRESS_SET text, in order
  std::vector<int> percents;       // every PROGRESS_SET percentage as passed
  bool shutDown = false;
};

class RecordingPort : public Port {
 public:
  RecordingPort() = default;

  int AppendToPane(const std::string& text) override;
  void WriteProjectLogLine(const std::string& logFile, const std::string& message) override;
  Answer MessageBox(const std::string& text, const std::string& caption, Buttons buttons,
                    Icon icon) override;
  ProgressHandle PROGRESS_INIT(const std::string& caption) override;
  void PROGRESS_SET(ProgressHandle window, int percent, const std::string& text) override;
  void PROGRESS_SHUTDOWN(ProgressHandle window) override;
  int PROGESS_IS_CANCELLED(ProgressHandle window) override;
  void ProcessPendingMessages() override;
  int ShowErrorAnalysis(const std::vector<ErrorEntry>& errors, int groups, int what,
                        std::vector<std::string>& flagged) override;

  // Scripted answers, taken in order; when none is left a box answers its
  // first button (Ok, Ok, Yes, Yes).
  std::deque<Answer> answers;
  // Cancel the n-th progress poll (1-based, counted over all windows); 0 never.
  int cancelAtPoll = 0;
  // When set, every window whose caption starts with this text is cancelled
  // at its poll number cancelAtPollOfCaption (1-based within that window).
  std::string cancelCaption;
  int cancelAtPollOfCaption = 0;
  // Error analysis: answer and flagged list to hand back.
  int errorAnalysisAnswer = 0;
  std::vector<std::string> errorAnalysisFlagged;

  PaneBuffer pane;  // limit 0: unlimited
  std::vector<std::string> appends;  // every accepted append, in order
  std::vector<std::string> logLines;  // messages only, without the time stamp
  std::vector<RecordedMessage> messages;
  std::vector<RecordedProgress> progress;  // one per PROGRESS_INIT, in order
  std::vector<ErrorEntry> errorsShown;
  int polls = 0;
  // Called from every ProcessPendingMessages, when set: what the user (or
  // another program) does while a run lets messages through.
  std::function<void()> onPendingMessages;
  bool writeLogFile = true;  // also write the real log file

  const std::string& PaneText() const { return pane.Text(); }

 private:
  ProgressModel model_;
  std::vector<ProgressHandle> handles_;
  std::vector<int> pollsPerWindow_;
};

}  // namespace tarne::testing
