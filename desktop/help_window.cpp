#include "help_window.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>

#include "artwork.h"

namespace tarne::desktop {

QString GuideFolder() {
  const QString exeDir = QCoreApplication::applicationDirPath();
  const QStringList candidates = {
      QStringLiteral(TARNE_GUIDE_INSTALL_DIR),
      exeDir + "/../share/doc/tarne/guide",
      QStringLiteral(TARNE_SOURCE_DIR) + "/docs/guide",
  };
  for (const QString& folder : candidates)
    if (QFileInfo::exists(folder + "/index.html")) return QDir(folder).absolutePath() + "/";
  return {};
}

HelpWindow::HelpWindow(QWidget* parent) : QMainWindow(parent, Qt::Window) {
  setObjectName("help");
  setWindowTitle(tr("Tarne Help"));
  setWindowIcon(TarneIcon());
  browser_ = new QTextBrowser(this);
  browser_->setOpenExternalLinks(true);
  setCentralWidget(browser_);
  QToolBar* bar = addToolBar(tr("Navigation"));
  bar->setMovable(false);
  QAction* back = bar->addAction(tr("Back"), browser_, &QTextBrowser::backward);
  QAction* forward = bar->addAction(tr("Forward"), browser_, &QTextBrowser::forward);
  bar->addAction(tr("Contents"), browser_, &QTextBrowser::home);
  back->setEnabled(false);
  forward->setEnabled(false);
  connect(browser_, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
  connect(browser_, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
  resize(760, 640);
}

bool HelpWindow::ShowGuide() {
  const QString folder = GuideFolder();
  if (folder.isEmpty()) return false;
  if (browser_->source().isEmpty()) {
    browser_->setSource(QUrl::fromLocalFile(folder + "index.html"));
    FitIntoScreen();
  }
  show();
  raise();
  activateWindow();
  return true;
}

void HelpWindow::FitIntoScreen() {
  QWidget* owner = parentWidget();
  QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  // Room for the frame the window manager adds around it.
  const QRect room = screen->availableGeometry().adjusted(8, 32, -8, -8);
  resize(std::min(width(), room.width()), std::min(height(), room.height()));
  QRect place(QPoint(), size());
  place.moveCenter(owner ? owner->geometry().center() : room.center());
  place.moveLeft(std::clamp(place.left(), room.left(), room.right() - place.width()));
  place.moveTop(std::clamp(place.top(), room.top(), room.bottom() - place.height()));
  move(place.topLeft());
}

QString WebSiteAddress() { return QStringLiteral(TARNE_WEB_SITE); }

bool OpenAddress(const QString& address) { return QDesktopServices::openUrl(QUrl(address)); }

}  // namespace tarne::desktop
