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
  // Shows the guide's first page (the window stays where the user left it).
  void ShowGuide();
  QTextBrowser* Browser() const { return browser_; }

 private:
  QTextBrowser* browser_;
};

// Opens the product web site (set at build time; the installed guide's first
// page unless given) with the desktop's URL opener.
void OpenWebSiteAddress();

}  // namespace tarne::desktop
