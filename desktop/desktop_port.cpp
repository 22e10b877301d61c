#include "desktop_port.h"

#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>
#include <algorithm>
#include <memory>

#include "dialogs.h"
#include "document_pane.h"
#include "text_decoding.h"

namespace tarne::desktop {

namespace {

QString Shown(const std::string& bytes) {
  return QString::fromStdString(PlainLineEnds(DisplayUtf8(bytes)));
}

}  // namespace

DesktopPort::~DesktopPort() {
  for (auto& entry : windows_) delete entry.second.data();
}

int DesktopPort::AppendToPane(const std::string& text) {
  const int taken = pane_->Append(text);
  if (taken && onAppended) onAppended();
  if (!taken && !text.empty() && onPaneFull) onPaneFull();
  return taken;
}

Answer DesktopPort::MessageBox(const std::string& text, const std::string& caption,
                               Buttons buttons, Icon icon) {
  if (answer) return answer(text, caption, buttons);
  QMessageBox box(window_);
  box.setTextFormat(Qt::PlainText);
  box.setWindowTitle(Shown(caption));
  box.setText(Shown(text));
  switch (icon) {
    case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
    case Icon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
  }
  switch (buttons) {
    case Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case Buttons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case Buttons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case Buttons::YesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
  }
  // A window manager cuts a caption wider than its box ("P... e"): the box
  // keeps room for the caption and the title bar's buttons.
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
    const int room = box.fontMetrics().horizontalAdvance(box.windowTitle()) + 180;
    grid->addItem(new QSpacerItem(std::max(room, 260), 0, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
  }
  switch (box.exec()) {
    case QMessageBox::Ok: return Answer::Ok;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: break;
  }
  // Escape or the close box: the box's way out.
  if (buttons == Buttons::Ok) return Answer::Ok;
  if (buttons == Buttons::YesNo) return Answer::No;
  return Answer::Cancel;
}

ProgressHandle DesktopPort::PROGRESS_INIT(const std::string& caption) {
  const ProgressHandle handle = model_.Init(caption);
  if (runCancelled_) model_.Cancel(handle);
  auto* dialog = new ProgressDialog(window_, Shown(caption));
  QObject::connect(dialog, &ProgressDialog::cancelPressed, dialog,
                   [this, handle] { model_.Cancel(handle); });
  windows_[handle] = dialog;
  latest_ = handle;
  dialog->show();
  return handle;
}

void DesktopPort::PROGRESS_SET(ProgressHandle window, int percent, const std::string& text) {
  const bool sent = model_.Set(window, percent, text);
  auto it = windows_.find(window);
  if (it == windows_.end() || !it->second) return;
  if (sent) it->second->SetPosition(model_.Find(window)->position);
  it->second->SetStatus(Shown(text));
}

void DesktopPort::PROGRESS_SHUTDOWN(ProgressHandle window) {
  model_.Shutdown(window);
  auto it = windows_.find(window);
  if (it == windows_.end()) return;
  delete it->second.data();
  windows_.erase(it);
}

int DesktopPort::PROGESS_IS_CANCELLED(ProgressHandle window) {
  auto it = windows_.find(window);
  // A window the user closed, or one that is gone, stops its loop.
  if (it == windows_.end() || !it->second || !it->second->isVisible()) return 1;
  return model_.IsCancelled(window);
}

void DesktopPort::ProcessPendingMessages() {
  QApplication::processEvents(QEventLoop::AllEvents);
  if (onPendingMessages) onPendingMessages();
}

int DesktopPort::ShowErrorAnalysis(const std::vector<ErrorEntry>& errors, int groups, int what,
                                   std::vector<std::string>& flagged) {
  if (errorAnalysis) return errorAnalysis(errors, groups, what, flagged);
  return RunErrorAnalysisDialog(window_, errors, groups, what, flagged, groupNames);
}

void DesktopPort::AskDuringRun(const std::string& text, std::function<void(bool yes)> done) {
  if (answer) {
    done(answer(text, kProgramName, Buttons::YesNo) == Answer::Yes);
    return;
  }
  // Owned by the main window, since the run opens and closes a progress
  // window per group, but on top like them, just below the current one.
  auto* box = new QMessageBox(QMessageBox::Question, kProgramName, Shown(text),
                              QMessageBox::Yes | QMessageBox::No, window_);
  box->setObjectName("runQuestion");
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::NonModal);
  box->setWindowFlag(Qt::WindowStaysOnTopHint);
  if (QWidget* progress = LatestProgressWindow()) {
    box->adjustSize();
    box->move(progress->frameGeometry().center().x() - box->width() / 2,
              progress->frameGeometry().bottom() + 8);
  }
  // A box that goes away unanswered counts as No.
  auto answered = std::make_shared<bool>(false);
  QObject::connect(box, &QMessageBox::finished, box, [done, answered](int result) {
    *answered = true;
    done(result == QMessageBox::Yes);
  });
  QObject::connect(box, &QObject::destroyed, [done, answered] {
    if (!*answered) done(false);
  });
  box->show();
  box->raise();
}

void DesktopPort::CancelRun() {
  runCancelled_ = true;
  for (auto& entry : windows_) model_.Cancel(entry.first);
}

ProgressDialog* DesktopPort::LatestProgressWindow() const {
  auto it = windows_.find(latest_);
  return it == windows_.end() ? nullptr : it->second.data();
}

}  // namespace tarne::desktop
