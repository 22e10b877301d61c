// The desktop's port: the pane, message boxes, progress windows and the
// error-analysis dialog, all on the window's thread.
#pragma once

#include <QPointer>
#include <functional>
#include <map>

#include "progress_dialog.h"
#include "shell/port.h"
#include "shell/progress_model.h"

class QWidget;

namespace tarne::desktop {

class DocumentPane;

class DesktopPort : public Port {
 public:
  DesktopPort(QWidget* window, DocumentPane* pane) : window_(window), pane_(pane) {}
  ~DesktopPort() override;

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

  // Stops the run in progress: every progress window, open now or opened
  // before the run ends, answers "cancelled".
  void CancelRun();
  // Asks a yes/no question above the progress window of the run in progress
  // (the window stays on top of everything else, so a box parented to the
  // main window would open behind it).  The box does not wait: the run goes
  // on, its progress showing, and done(true) runs when Yes is pressed.
  void AskDuringRun(const std::string& text, std::function<void(bool yes)> done);
  // The run has ended: later runs start uncancelled.
  void EndRun() { runCancelled_ = false; }

  // The progress window opened last and still open, or null.
  ProgressDialog* LatestProgressWindow() const;
  const ProgressModel& Progress() const { return model_; }

  // Called after an append was taken (the window enables Save and Print).
  std::function<void()> onAppended;
  // Called after an append was refused for want of space.
  std::function<void()> onPaneFull;
  // When set, message boxes are answered by it instead of being shown.
  std::function<Answer(const std::string& text, const std::string& caption, Buttons)> answer;
  // When set, runs after pending events were processed (tests press Cancel here).
  std::function<void()> onPendingMessages;
  // When set, replaces the error-analysis dialog.
  std::function<int(const std::vector<ErrorEntry>&, int groups, int what,
                    std::vector<std::string>& flagged)>
      errorAnalysis;
  // The current project's group names, for the dialogs a run opens.
  std::vector<std::string> groupNames;

 private:
  QWidget* window_;
  DocumentPane* pane_;
  ProgressModel model_;
  std::map<ProgressHandle, QPointer<ProgressDialog>> windows_;
  ProgressHandle latest_ = 0;
  bool runCancelled_ = false;
};

}  // namespace tarne::desktop
