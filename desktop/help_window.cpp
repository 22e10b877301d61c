#include "help_window.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
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

void HelpWindow::ShowGuide() {
  const QString folder = GuideFolder();
  if (folder.isEmpty()) {
    QMessageBox::warning(parentWidget(), "Tarne", tr("The user guide is not installed."));
    return;
  }
  if (browser_->source().isEmpty())
    browser_->setSource(QUrl::fromLocalFile(folder + "index.html"));
  show();
  raise();
  activateWindow();
}

void OpenWebSiteAddress() {
  QString address = QStringLiteral(TARNE_WEB_SITE);
  if (address.isEmpty()) {
    const QString folder = GuideFolder();
    if (folder.isEmpty()) return;
    address = QUrl::fromLocalFile(folder + "index.html").toString();
  }
  QDesktopServices::openUrl(QUrl(address));
}

}  // namespace tarne::desktop
