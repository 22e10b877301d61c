// Drives the real main window through each of its windows and saves a
// picture of each: the screenshots of the user guide and the README.  Run
// under a display (scripts/screenshots.sh starts Xvfb):
//   tarne-tour OUTPUT_FOLDER
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPointer>
#include <QSplashScreen>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <algorithm>
#include <deque>
#include <filesystem>
#include <functional>
#include <iostream>

#include "artwork.h"
#include "document_pane.h"
#include "help_window.h"
#include "main_window.h"
#include "results_view.h"
#include "project/save_project.h"
#include "shell/menu_state.h"

using namespace tarne;
using tarne::desktop::MainWindow;

namespace {

QString gOut;
int gSaved = 0;

void Settle(int ms) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

// Saves the screen area covered by the given windows.
void Shoot(const QString& name, std::initializer_list<QWidget*> windows) {
  Settle(400);
  QRect area;
  for (QWidget* w : windows) {
    if (!w || !w->isVisible()) continue;
    // A part of a window (the results view) is taken where it is on the screen.
    area = area.united(w->isWindow() ? w->frameGeometry()
                                     : QRect(w->mapToGlobal(QPoint(0, 0)), w->size()));
  }
  QScreen* screen = QApplication::primaryScreen();
  const QPixmap shot = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height());
  const QString path = gOut + "/" + name + ".png";
  if (shot.save(path)) {
    ++gSaved;
    std::cout << "saved " << path.toStdString() << "\n";
  } else {
    std::cerr << "could not save " << path.toStdString() << "\n";
  }
}

template <typename T>
T* Child(QWidget* parent, const char* name) {
  return parent ? parent->findChild<T*>(name) : nullptr;
}

// What to do with each dialog as it opens, in order.  Message boxes are
// answered with their default button; the one named by gShootBox is pictured.
std::deque<std::function<void(QWidget*)>> gModal;
QString gShootBox;

void WatchModals() {
  auto* timer = new QTimer(qApp);
  QObject::connect(timer, &QTimer::timeout, [] {
    static QPointer<QWidget> handled;
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal == handled) return;
    handled = modal;
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      std::cout << "box: " << box->text().toStdString() << "\n";
      if (!gShootBox.isEmpty()) {
        Shoot(gShootBox, {box});
        gShootBox.clear();
      }
      if (box->defaultButton()) box->defaultButton()->click();
      else box->accept();
      return;
    }
    if (gModal.empty()) {
      std::cerr << "unexpected dialog " << modal->objectName().toStdString() << "\n";
      modal->close();
      return;
    }
    auto step = gModal.front();
    gModal.pop_front();
    step(modal);
  });
  timer->start(150);
}

void Click(QWidget* dialog, const char* button) {
  if (auto* b = Child<QAbstractButton>(dialog, button)) b->click();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Tarne");
  if (argc < 2) {
    std::cerr << "usage: tarne-tour OUTPUT_FOLDER\n";
    return 2;
  }
  gOut = QDir(argv[1]).absolutePath();
  // A second argument names a short tour: the start and the main window after
  // training and the statistics only, saved under that prefix (the doubled scale's pictures).
  const QString only = argc > 2 ? QString(argv[2]) : QString();
  QDir().mkpath(gOut);
  const QString work = QDir::tempPath() + "/tarne-tour-" + QString::number(QApplication::applicationPid());
  QDir(work).removeRecursively();
  QDir().mkpath(work + "/config");

  MainWindow w((work + "/config").toStdString());
  // Wide enough for the pane and the results view beside it.
  const QRect room = QApplication::primaryScreen()->availableGeometry();
  w.setGeometry(40, 40, std::min(1180, room.width() - 80), std::min(760, room.height() - 80));
  w.show();

  // The demo project of the sample essays, with one essay of group 1 and
  // one of group 3 filed in each other's folder, so that the train-set run
  // has errors to show.
  namespace fs = std::filesystem;
  const std::string examples = (work + "/essays/").toStdString();
  std::error_code ec;
  fs::copy(fs::path(TARNE_SOURCE_DIR) / "examples", examples, fs::copy_options::recursive, ec);
  fs::rename(examples + "train/g1/essay01.txt", examples + "train/g3/essay11.txt", ec);
  fs::rename(examples + "train/g3/essay01.txt", examples + "train/g1/essay01.txt", ec);
  ProjectDialogValues v;
  v.groups = 3;
  v.sname = "demo";
  v.root = (work + "/demo/").toStdString();
  for (int g = 1; g <= 3; ++g) {
    v.train.push_back(examples + "train/g" + std::to_string(g) + "/");
    v.trial.push_back(examples + "trial/g" + std::to_string(g) + "/");
    v.priors.push_back("1");
  }
  // Named groups: the charts and the error list show the names.
  v.groupNames = {"weak", "adequate", "strong"};
  WatchModals();

  QTimer::singleShot(300, [&] {
    auto* splash = new QSplashScreen(desktop::SplashPicture());
    splash->move(w.geometry().center() - splash->rect().center());
    splash->show();
    if (only.isEmpty()) Shoot("splash", {splash});
    delete splash;
    // A new user's first sight: the steps in the empty pane and the status bar.
    Shoot(only.isEmpty() ? QString("guidance") : only + "-guidance", {&w});
    if (!SaveProject(w.CurrentSession(), v, SaveMode::New)) {
      std::cerr << "could not create the demo project\n";
      app.exit(1);
      return;
    }
    w.LoadProject(w.CurrentSession().settings.ProjectFilePath());

    // The project dialog, each tab.
    gModal.push_back([](QWidget* dialog) {
      auto* pages = Child<QTabWidget>(dialog, "pages");
      for (int i = 0; pages && i < pages->count(); ++i) {
        pages->setCurrentIndex(i);
        Shoot(QString("project-dialog-%1").arg(i + 1), {dialog});
      }
      Click(dialog, "cancel");
    });
    if (only.isEmpty()) w.Run(cmd::EditProject);

    // Training, with the progress window caught mid-run.
    w.Run(cmd::AllowTrainWords);
    w.Run(cmd::AllowTrainPairs);
    bool shot = false;
    w.Port().onPendingMessages = [&] {
      auto* p = w.Port().LatestProgressWindow();
      if (shot || !only.isEmpty() || !p || !p->Status().contains("Working on file 6")) return;
      shot = true;
      Shoot("progress", {&w, p});
    };
    w.Run(cmd::TrainWords);
    w.Run(cmd::TrainPairs);
    w.Port().onPendingMessages = nullptr;
    if (!only.isEmpty()) {
      w.Run(cmd::Stats);
      Shoot(only + "-main-window", {&w});
      gModal.clear();  // the project dialog's step was not used
      gModal.push_back([&](QWidget* dialog) {
        Click(dialog, "what1");
        Click(dialog, "score");
      });
      if (!w.Run(cmd::Score)) std::cerr << "Score was not available\n";
      gModal.clear();
      Shoot(only + "-results", {&w});
      QDir(work).removeRecursively();
      app.exit(gSaved >= 3 ? 0 : 1);
      return;
    }

    // Scoring options with the one-essay window, then its verdict.
    gModal.push_back([&](QWidget* dialog) {
      Click(dialog, "what4");
      Settle(300);
      QWidget* one = nullptr;
      for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == "oneEssayWindow" && top->isVisible()) one = top;
      if (!one) one = Child<QWidget>(dialog, "oneEssayWindow");
      std::string essay;
      std::filesystem::path p = std::filesystem::path(examples) / "one.txt";
      if (FILE* f = std::fopen(p.c_str(), "rb")) {
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) essay.append(buf, n);
        std::fclose(f);
      }
      if (auto* t = Child<QPlainTextEdit>(one, "oneEssayText")) t->setPlainText(QString::fromStdString(essay));
      if (auto* t = Child<QTextEdit>(one, "oneEssayText")) t->setPlainText(QString::fromStdString(essay));
      Shoot("scoring-options", {dialog, one});
      Click(dialog, "score");
    });
    w.Run(cmd::Score);

    // A train-set run with Show Errors gives the error-analysis dialog.
    gModal.push_back([&](QWidget* dialog) {
      Click(dialog, "what2");
      Click(dialog, "showErrors");
      Click(dialog, "score");
    });
    gModal.push_back([&](QWidget* dialog) {
      Shoot("error-analysis", {dialog});
      Click(dialog, "cancel");
      Click(dialog, "ok");
    });
    w.Run(cmd::Score);
    gModal.clear();

    // The statistics and the trial run the main window is pictured after,
    // with their charts in the results view.
    w.Pane()->clear();
    w.Run(cmd::Stats);
    Shoot("statistics-chart", {w.Results()});
    gModal.push_back([&](QWidget* dialog) {
      Click(dialog, "what1");
      Click(dialog, "phrases");
      Click(dialog, "score");
    });
    w.Run(cmd::Score);
    gModal.clear();
    Shoot("main-window", {&w});
    Shoot("results-chart", {w.Results()});

    // The page a printer gets: the heading with project, date and page.
    gModal.push_back([&](QWidget* dialog) {
      dialog->setGeometry(80, 60, 900, 820);
      Settle(600);
      Shoot("print-preview", {dialog});
      dialog->close();
    });
    if (auto* preview = w.findChild<QAction*>("printPreview")) preview->trigger();
    gModal.clear();

    w.Run(cmd::Help);
    QWidget* help = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
      if (top->objectName() == "help" && top->isVisible()) help = top;
    if (help) {
      help->setGeometry(120, 60, 760, 600);
      Shoot("help", {help});
      help->close();
    }

    // Compare Settings: the ranked table's best settings as a chart.
    w.Run(cmd::CompareSettings);
    for (QWidget* top : QApplication::topLevelWidgets()) {
      auto* views = top->isVisible() ? Child<QTabWidget>(top, "evaluationViews") : nullptr;
      if (!views || views->window() != top) continue;
      top->setGeometry(100, 60, 900, 620);
      views->setCurrentIndex(1);
      Shoot("compare-settings-chart", {top});
      top->close();
    }

    gShootBox = "about";
    w.Run(cmd::About);

    // A dark palette: the pane, the status bar and the error list's paths
    // must stay readable.
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(45, 45, 48));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    dark.setColor(QPalette::AlternateBase, QColor(45, 45, 48));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    dark.setColor(QPalette::Button, QColor(60, 60, 64));
    dark.setColor(QPalette::ButtonText, QColor(230, 230, 230));
    dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
    dark.setColor(QPalette::HighlightedText, Qt::black);
    dark.setColor(QPalette::Link, QColor(120, 180, 255));
    dark.setColor(QPalette::PlaceholderText, QColor(160, 160, 160));
    QApplication::setPalette(dark);
    gModal.push_back([&](QWidget* dialog) {
      Click(dialog, "what2");
      if (auto* b = Child<QAbstractButton>(dialog, "showErrors"); b && !b->isChecked()) b->click();
      Click(dialog, "score");
    });
    gModal.push_back([&](QWidget* dialog) {
      Shoot("dark-error-analysis", {dialog});
      Click(dialog, "cancel");
    });
    w.Run(cmd::Score);
    gModal.clear();
    Shoot("dark-main-window", {&w});

    QDir(work).removeRecursively();
    std::cout << gSaved << " pictures\n";
    app.exit(gSaved >= 16 ? 0 : 1);
  });
  return app.exec();
}
