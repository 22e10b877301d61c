#include <QApplication>
#include <QScreen>
#include <QSplashScreen>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "artwork.h"
#include "main_window.h"
#include "shell/version.h"

namespace {

const char* kUsage =
    "usage: tarne [PROJECT.trn [TEXTFILE]]\n"
    "Starts Tarne, the essay classifier: a main window whose pane receives every\n"
    "report, with every command on its menu.  PROJECT.trn, when given, is opened\n"
    "as the current project; TEXTFILE, when given, is then loaded into the pane.\n"
    "Qt's own options (such as -platform or -style) may come first.\n"
    "\n"
    "  --help      print this text and exit\n"
    "  --version   print the version of Tarne and exit\n"
    "\n"
    "F1 opens the user guide, which describes every command, the project dialog\n"
    "and how to read each report.  tarne-cli runs the same commands from a shell.\n";

}  // namespace

int main(int argc, char** argv) {
  // Answered before Qt starts, so they need no display.
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("tarne %s\n", tarne::kTarneVersion);
    return 0;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName("Tarne");
  QApplication::setDesktopFileName("tarne");
  QApplication::setWindowIcon(tarne::desktop::TarneIcon());

  tarne::desktop::MainWindow window;
  window.show();

  auto* splash = new QSplashScreen(tarne::desktop::SplashPicture());
  splash->setAttribute(Qt::WA_DeleteOnClose);
  splash->move(window.geometry().center() - splash->rect().center());
  splash->show();
  window.SetSplash(splash);
  QTimer::singleShot(2500, splash, &QWidget::close);

  // Loaded once the event loop runs, so the window is there to show it.
  QStringList args = QApplication::arguments();
  args.removeFirst();
  QTimer::singleShot(0, &window, [&window, args] { window.OpenArguments(args); });
  return app.exec();
}
