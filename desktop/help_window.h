// The user guide in a window of the program, and the web site command.
#pragma once

#include <QMainWindow>

class QTextBrowser;

namespace tarne::desktop {

// The folder of the guide's HTML pages (installed, else the source tree's),
// ending with "/"; empty when there is none.
QString GuideFolder();

class HelpWindow : public QMainWindow {
  Q_OBJECT
 public:
  explicit HelpWindow(QWidget* parent);
  // Shows the guide's first page (the window stays where the user left it;
  // the first time it is fitted into the screen of its parent).  Answers
  // false, showing nothing, when no guide is installed.
  bool ShowGuide();
  QTextBrowser* Browser() const { return browser_; }

 private:
  void FitIntoScreen();
  QTextBrowser* browser_;
};

// The product web site set at build time; empty when none was given.
QString WebSiteAddress();
// Opens an address with the desktop's URL opener; false when it could not.
bool OpenAddress(const QString& address);

}  // namespace tarne::desktop
