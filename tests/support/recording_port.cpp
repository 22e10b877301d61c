#include "recording_port.h"

namespace tarne::testing {

int RecordingPort::AppendToPane(const std::string& text) {
  int ok = pane.Append(text);
  if (ok) appends.push_back(text);
  return ok;
}

void RecordingPort::WriteProjectLogLine(const std::string& logFile, const std::string& message) {
  logLines.push_back(message);
  if (writeLogFile && !logFile.empty()) Port::WriteProjectLogLine(logFile, message);
}

Answer RecordingPort::MessageBox(const std::string& text, const std::string& caption,
                                 Buttons buttons, Icon icon) {
  Answer answer;
  if (!answers.empty()) {
    answer = answers.front();
    answers.pop_front();
  } else {
    answer = (buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel) ? Answer::Yes
                                                                             : Answer::Ok;
  }
  messages.push_back({text, caption, buttons, icon, answer});
  return answer;
}

ProgressHandle RecordingPort::PROGRESS_INIT(const std::string& caption) {
  ProgressHandle h = model_.Init(caption);
  handles_.push_back(h);
  pollsPerWindow_.push_back(0);
  progress.push_back({caption, {}, {}, false});
  return h;
}

namespace {
int IndexOf(const std::vector<ProgressHandle>& handles, ProgressHandle h) {
  for (size_t i = 0; i < handles.size(); ++i)
    if (handles[i] == h) return static_cast<int>(i);
  return -1;
}
}  // namespace

void RecordingPort::PROGRESS_SET(ProgressHandle window, int percent, const std::string& text) {
  model_.Set(window, percent, text);
  int i = IndexOf(handles_, window);
  if (i >= 0) {
    progress[i].texts.push_back(text);
    progress[i].percents.push_back(percent);
  }
}

void RecordingPort::PROGRESS_SHUTDOWN(ProgressHandle window) {
  model_.Shutdown(window);
  int i = IndexOf(handles_, window);
  if (i >= 0) progress[i].shutDown = true;
}

int RecordingPort::PROGESS_IS_CANCELLED(ProgressHandle window) {
  ++polls;
  if (cancelAtPoll > 0 && polls == cancelAtPoll) model_.Cancel(window);
  int i = IndexOf(handles_, window);
  if (i >= 0) {
    int n = ++pollsPerWindow_[i];
    if (!cancelCaption.empty() && cancelAtPollOfCaption > 0 && n == cancelAtPollOfCaption &&
        progress[i].caption.compare(0, cancelCaption.size(), cancelCaption) == 0)
      model_.Cancel(window);
  }
  return model_.IsCancelled(window);
}

void RecordingPort::ProcessPendingMessages() {
  if (onPendingMessages) onPendingMessages();
}

int RecordingPort::ShowErrorAnalysis(const std::vector<ErrorEntry>& errors, int, int,
                                     std::vector<std::string>& flagged) {
  errorsShown = errors;
  if (errorAnalysisAnswer == 1) flagged = errorAnalysisFlagged;
  return errorAnalysisAnswer;
}

}  // namespace tarne::testing
