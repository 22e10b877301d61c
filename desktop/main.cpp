#include <QApplication>
#include <QScreen>
#include <QSplashScreen>
#include <QTimer>

#include "artwork.h"
#include "main_window.h"

int main(int argc, char** argv) {
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
