#include "essay_viewer.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcess>
#include <QVBoxLayout>
#include <fstream>
#include <sstream>

#include "dialogs.h"
#include "qt_text.h"

namespace tarne::desktop {

EssayViewerWindow::EssayViewerWindow(const std::string& path) : QWidget(nullptr, Qt::Window) {
  setObjectName("essayViewer");
  setAttribute(Qt::WA_DeleteOnClose);
  const QString name = QFile::decodeName(QByteArray::fromStdString(path));
  setWindowTitle(QFileInfo(name).fileName() + " - Tarne");

  auto* text = new QPlainTextEdit;
  text->setObjectName("essayText");
  text->setReadOnly(true);
  text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  if (in && (bytes << in.rdbuf(), !in.bad()))
    text->setPlainText(DecodeForDisplay(bytes.str()));
  else
    text->setPlainText("Could not read file " + DecodeForDisplay(path));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(text);
  resize(640, 480);
}

namespace {

void ShowOwnViewer(const std::string& path) {
  auto* window = new EssayViewerWindow(path);
  window->show();
  window->raise();
  window->activateWindow();
}

// Without a real display there is no desktop viewer to ask for.
bool DesktopHasViewers() {
  const QString platform = QGuiApplication::platformName();
  return platform != "offscreen" && platform != "minimal";
}

}  // namespace

void OpenEssayViewer(QWidget*, const std::string& path) {
  if (!DesktopHasViewers()) {
    ShowOwnViewer(path);
    return;
  }
  // The desktop's opener runs on its own; only its failure is waited for,
  // through the event loop, and then the program shows the essay itself.
  auto* opener = new QProcess(qApp);
  opener->setProgram("xdg-open");
  opener->setArguments({QFile::decodeName(QByteArray::fromStdString(path))});
  QObject::connect(opener, &QProcess::errorOccurred, opener, [opener, path](QProcess::ProcessError e) {
    if (e != QProcess::FailedToStart) return;
    ShowOwnViewer(path);
    opener->deleteLater();
  });
  QObject::connect(opener, &QProcess::finished, opener,
                   [opener, path](int code, QProcess::ExitStatus status) {
                     if (code != 0 || status != QProcess::NormalExit) ShowOwnViewer(path);
                     opener->deleteLater();
                   });
  opener->start();
}

}  // namespace tarne::desktop
