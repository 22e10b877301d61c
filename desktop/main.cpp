#include <QApplication>
#include <QScreen>
#include <QSplashScreen>
#include <QTimer>
#include <filesystem>

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

  // An optional project file to load, then an optional text file for the pane.
  const QStringList args = QApplication::arguments();
  if (args.size() > 1) {
    const std::string project = args[1].toStdString();
    std::error_code ec;
    if (args[1].toUpper().contains(".TRN") && std::filesystem::is_regular_file(project, ec))
      QTimer::singleShot(0, &window, [&window, project] { window.LoadProject(project); });
  }
  if (args.size() > 2) {
    const std::string text = args[2].toStdString();
    QTimer::singleShot(0, &window, [&window, text] { window.OpenDocument(text); });
  }
  return app.exec();
}
