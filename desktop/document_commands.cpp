// The pane's file commands: open, save, save as and the save question.
#include <QFileInfo>
#include <QSaveFile>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "document_pane.h"
#include "main_window.h"
#include "text_decoding.h"

namespace tarne::desktop {

std::string MainWindow::DocumentTitleOrUntitled() const {
  return documentTitle_.empty() ? std::string("(untitled)") : documentTitle_;
}

Answer MainWindow::AskToSave() {
  Answer answer = session_->Message("Save current changes in " + DocumentTitleOrUntitled() + "?",
                                    kProgramName, Buttons::YesNoCancel, Icon::Question);
  if (answer == Answer::Yes && !SaveDocument()) answer = Answer::Cancel;
  return answer;
}

bool MainWindow::SaveDocument() {
  if (documentFile_.empty()) return SaveDocumentAs();
  return WritePane(documentFile_);
}

bool MainWindow::SaveDocumentAs() {
  std::string path = choosers.saveFile();
  if (path.empty()) return false;
  if (QFileInfo(QString::fromStdString(path)).suffix().isEmpty()) path += ".txt";
  documentFile_ = path;
  documentTitle_ = QFileInfo(QString::fromStdString(path)).fileName().toStdString();
  SetTitle(documentTitle_);
  return WritePane(path);
}

bool MainWindow::WritePane(const std::string& path) {
  // Written beside the old file and then put in its place, so a full disk
  // or a failed write leaves the earlier version whole.
  QSaveFile file(QString::fromStdString(path));
  const QByteArray bytes = pane_->toPlainText().toUtf8();
  bool ok = file.open(QIODevice::WriteOnly);
  if (ok) ok = file.write(bytes) == bytes.size();
  if (ok) ok = file.commit();
  else file.cancelWriting();
  if (!ok) {
    session_->Message("Could not write file " + path, kProgramName, Buttons::Ok,
                      Icon::Exclamation);
    return false;
  }
  dirty_ = false;
  return true;
}

void MainWindow::OpenWithDialog(bool project) {
  if (dirty_ && AskToSave() == Answer::Cancel) return;
  const std::string path = choosers.openFile(project);
  if (path.empty()) return;
  if (project)
    LoadProject(path);
  else
    OpenDocument(path);
}

void MainWindow::OpenDropped(const std::string& path) {
  // A project load leaves the pane as it is; a file replaces its text.
  const bool project = QString::fromStdString(path).toUpper().contains(".TRN");
  if (!project && dirty_ && AskToSave() == Answer::Cancel) return;
  OpenDocument(path);
  UpdateGuidance();
}

void MainWindow::OpenDocument(const std::string& path) {
  if (QString::fromStdString(path).toUpper().contains(".TRN"))
    LoadProject(path);
  else
    OpenIntoPane(path);
}

void MainWindow::OpenArguments(const QStringList& arguments) {
  if (arguments.isEmpty()) return;
  const std::string project = arguments[0].toStdString();
  std::error_code ec;
  if (arguments[0].toUpper().contains(".TRN") && std::filesystem::is_regular_file(project, ec))
    LoadProject(project);
  if (arguments.size() > 1) OpenDocument(arguments[1].toStdString());
}

void MainWindow::OpenIntoPane(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in.is_open()) {
    session_->Message("Could not read file " + path, kProgramName, Buttons::Ok,
                      Icon::Exclamation);
    return;
  }
  std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const std::size_t nul = bytes.find('\0');
  if (nul != std::string::npos) bytes.resize(nul);
  const QString text = QString::fromStdString(PlainLineEnds(DisplayUtf8(bytes)));
  // A file too large for the pane is refused whole rather than shown cut.
  if (text.size() + 1 >= static_cast<qsizetype>(pane_->Limit())) {
    session_->Message("Edit control out of space", kProgramName, Buttons::Ok, Icon::None);
    return;
  }
  pane_->Load(text);
  dirty_ = false;
  documentFile_ = path;
  documentTitle_ = QFileInfo(QString::fromStdString(path)).fileName().toStdString();
  SetTitle(documentTitle_);
  menus_.PaneFilled();
  SyncActions();
}

}  // namespace tarne::desktop
