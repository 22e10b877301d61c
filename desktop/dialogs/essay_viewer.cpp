#include "essay_viewer.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcess>
#include <QScreen>
#include <QKeyEvent>
#include <algorithm>
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

void EssayViewerWindow::keyPressEvent(QKeyEvent* event) {
  // The read-only text passes Escape on: it closes the window, as in a dialog.
  if (event->key() == Qt::Key_Escape) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}

void EssayViewerWindow::PlaceOver(QWidget* anchor) {
  // Over the program's main window (the owner of whatever asked for it),
  // kept inside that window's screen.
  while (anchor && anchor->parentWidget()) anchor = anchor->parentWidget();
  QScreen* screen = anchor ? anchor->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect room = screen->availableGeometry();
  resize(std::min(width(), room.width() - 16), std::min(height(), room.height() - 40));
  QRect place(QPoint(), size());
  place.moveCenter(anchor ? anchor->frameGeometry().center() : room.center());
  place.moveLeft(std::clamp(place.left(), room.left(), room.right() - place.width()));
  place.moveTop(std::clamp(place.top(), room.top() + 24, room.bottom() - place.height()));
  move(place.topLeft());
}

namespace {

void ShowOwnViewer(QPointer<QWidget> anchor, const std::string& path) {
  auto* window = new EssayViewerWindow(path);
  window->PlaceOver(anchor);
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

void OpenEssayViewer(QWidget* parent, const std::string& path) {
  QPointer<QWidget> anchor = parent;
  if (!DesktopHasViewers()) {
    ShowOwnViewer(anchor, path);
    return;
  }
  // The desktop's opener runs on its own; only its failure is waited for,
  // through the event loop, and then the program shows the essay itself.
  auto* opener = new QProcess(qApp);
  opener->setProgram("xdg-open");
  opener->setArguments({QFile::decodeName(QByteArray::fromStdString(path))});
  QObject::connect(opener, &QProcess::errorOccurred, opener, [opener, anchor, path](QProcess::ProcessError e) {
    if (e != QProcess::FailedToStart) return;
    ShowOwnViewer(anchor, path);
    opener->deleteLater();
  });
  QObject::connect(opener, &QProcess::finished, opener,
                   [opener, anchor, path](int code, QProcess::ExitStatus status) {
                     if (code != 0 || status != QProcess::NormalExit) ShowOwnViewer(anchor, path);
                     opener->deleteLater();
                   });
  opener->start();
}

}  // namespace tarne::desktop
