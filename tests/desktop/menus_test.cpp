// The menus through the real actions: what is offered at start, after a new
// project, after a load and with each toggle; the keys; the save question.
#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTest>
#include <set>

#include "desktop_fixture.h"
#include "remembered_settings.h"
#include "document_pane.h"
#include "project/recent_projects.h"
#include "shell/menu_state.h"

using namespace tarne;
using tarne::testing::DesktopFixture;

class MenusTest : public QObject {
  Q_OBJECT
 private:
  static std::set<int> Enabled(desktop::MainWindow& w) {
    std::set<int> out;
    for (int c : MenuState::Commands())
      if (QAction* a = w.Action(c); a && a->isEnabled()) out.insert(c);
    return out;
  }

 private slots:
  void startNewProjectAndLoad() {
    DesktopFixture f;
    desktop::MainWindow& w = f.Window();
    const std::set<int> start = Enabled(w);
    QVERIFY(start.count(cmd::NewProject) && start.count(cmd::OpenProject) &&
            start.count(cmd::OpenLogText) && start.count(cmd::Exit) && start.count(cmd::Font) &&
            start.count(cmd::Help) && start.count(cmd::About) && start.count(cmd::WebSite));
    for (int c : {cmd::EditProject, cmd::Save, cmd::Print, cmd::TrainWords, cmd::Score,
                  cmd::Stats, cmd::AllowTrainWords, cmd::EraseWords, cmd::Compact})
      QVERIFY2(!start.count(c), qPrintable(QString::number(c)));
    QCOMPARE(w.windowTitle(), QString("Tarne - (untitled)"));

    f.DialogCreates("fresh");
    QVERIFY(w.Run(cmd::NewProject));
    QVERIFY(f.SawBox("Project fresh created"));
    QVERIFY(w.CurrentSession().db.IsOpen());
    QVERIFY(w.Action(cmd::PurgeWords)->isEnabled() && w.Action(cmd::Score)->isEnabled());
    QVERIFY(!w.Action(cmd::PurgePairs)->isEnabled() && !w.Action(cmd::PurgeArguments)->isEnabled());
    QVERIFY(!w.Action(cmd::TopArgs)->isEnabled());

    const std::string file = f.MakeExampleProject("loaded");
    QVERIFY(w.LoadProject(file));
    QVERIFY(f.SawBox("Project loaded loaded"));
    QCOMPARE(w.windowTitle(), QString("Tarne - loaded"));
    QVERIFY(w.Action(cmd::PurgePairs)->isEnabled() && w.Action(cmd::TopArgs)->isEnabled());
    QVERIFY(w.Action(cmd::Compact)->isEnabled());
    QVERIFY(!w.Action(cmd::TrainWords)->isEnabled());
    QCOMPARE(LoadRecentProjects(w.CurrentSession().configFolder).front(), "&1 " + file);
  }

  void togglesGreyAndUngreyTheirTargets() {
    DesktopFixture f;
    desktop::MainWindow& w = f.Window();
    QVERIFY(!w.Run(cmd::AllowTrainWords));  // greyed before a project
    QVERIFY(w.LoadProject(f.MakeExampleProject("p")));
    for (int t = cmd::AllowEraseWords; t <= cmd::AllowTrainArguments; ++t) {
      QAction* target = w.Action(MenuState::ToggleTarget(t));
      w.Action(t)->trigger();
      QVERIFY(w.Action(t)->isChecked() && target->isEnabled());
      w.Action(t)->trigger();
      QVERIFY(!w.Action(t)->isChecked() && !target->isEnabled());
    }
  }

  void keysRunWhatTheirItemsSay() {
    DesktopFixture f;
    desktop::MainWindow& w = f.Window();
    QCOMPARE(w.Action(cmd::OpenProject)->shortcut(), QKeySequence("Ctrl+O"));
    QVERIFY(w.Action(cmd::OpenLogText)->shortcut().isEmpty());
    bool askedForProject = false;
    w.choosers.openFile = [&](bool project) {
      askedForProject = project;
      return std::string();
    };
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.Pane()->setFocus();
    QTest::keyClick(&w, Qt::Key_O, Qt::ControlModifier);
    QVERIFY(askedForProject);

    // Delete clears the selection (with none it deletes forward).
    w.Pane()->setPlainText("abc");
    QTextCursor c = w.Pane()->textCursor();
    c.setPosition(0);
    c.setPosition(1, QTextCursor::KeepAnchor);
    w.Pane()->setTextCursor(c);
    QTest::keyClick(w.Pane(), Qt::Key_Delete);
    QCOMPARE(w.Pane()->toPlainText(), QString("bc"));
  }

  // Without a site of its own, Web site opens the guide in the Help window,
  // inside the screen.
  void webSiteOpensTheGuide() {
    DesktopFixture f;
    desktop::MainWindow& w = f.Window();
    w.show();
    QVERIFY(w.Run(cmd::WebSite));
    auto* help = w.findChild<QWidget*>("help");
    QVERIFY(help && help->isVisible());
    QVERIFY(help->screen()->availableGeometry().contains(help->geometry()));
    QVERIFY(f.boxes.empty());
  }

  // The status bar says the next of the three steps; the empty pane lists them.
  void guidanceFollowsTheSteps() {
    DesktopFixture f;
    desktop::MainWindow& w = f.Window();
    QCOMPARE(w.Guidance(), QString("Next step: Create or open a project (File)"));
    QVERIFY(w.Pane()->placeholderText().contains("Tick Options > Allow Train Words"));
    QVERIFY(w.LoadProject(f.MakeExampleProject("g")));
    QCOMPARE(w.Guidance(),
             QString("Next step: Tick Options > Allow Train Words, then Train > Words"));
    w.Run(cmd::AllowTrainWords);
    w.Run(cmd::TrainWords);
    QCOMPARE(w.Guidance(), QString("Next step: Score the trial essays (Score)"));
  }

  // Scoring options, the pane font and the window's place outlive the
  // window; a project opened after the menus were built shows at once.
  void settingsAreRememberedAndRecentItemsFollow() {
    DesktopFixture f;
    const std::string config = f.Window().CurrentSession().configFolder;
    {
      desktop::RememberedSettings saved(config);
      ScoringOptions o;
      o.Model = 2;
      o.ShowErrors = 1;
      o.Alpha = 0.5;
      saved.SaveScoringOptions(o);
      saved.SetPaneFont(QFont("Monospace", 17));
    }
    desktop::MainWindow w(config);
    QCOMPARE(w.CurrentSession().options.Model, 2);
    QCOMPARE(w.CurrentSession().options.ShowErrors, 1);
    QCOMPARE(w.CurrentSession().options.Alpha, 0.5);
    QCOMPARE(w.Pane()->font().pointSize(), 17);

    emit w.menuBar()->actions().first()->menu()->aboutToShow();
    w.Port().answer = [](const std::string&, const std::string&, Buttons) { return Answer::Ok; };
    const std::string file = f.MakeExampleProject("later");
    QVERIFY(w.LoadProject(file));
    QVERIFY(w.Action(cmd::RecentFirst));
    QCOMPARE(w.Action(cmd::RecentFirst)->text().toStdString(), "&1 " + file);
  }

  void recentItemWithBlanksLoads() {
    DesktopFixture f;
    desktop::MainWindow& w = f.Window();
    const std::string file = f.MakeExampleProject("with blanks");
    QVERIFY(file.find(' ') != std::string::npos);
    w.BuildRecentItems();
    QVERIFY(w.Action(cmd::RecentFirst));
    QVERIFY(w.Run(cmd::RecentFirst));
    QVERIFY(f.SawBox("Project with blanks loaded"));
  }

  void commandLineLoadsOnlyExistingProjectFiles() {
    DesktopFixture f;
    desktop::MainWindow& w = f.Window();
    w.OpenArguments({QString::fromStdString(f.temp.Write("notes.txt", "x"))});
    w.OpenArguments({QString::fromStdString(f.temp.Path() + "gone.trn")});
    QVERIFY(f.boxes.empty() && !w.CurrentSession().db.IsOpen());
    const std::string file = f.MakeExampleProject("argued");
    f.MakeExampleProject("other");  // now at the head of the recent list
    w.OpenArguments({QString::fromStdString(file)});
    QVERIFY(w.CurrentSession().db.IsOpen());
    QCOMPARE(LoadRecentProjects(w.CurrentSession().configFolder).front(), "&1 " + file);
  }

  void saveQuestionBeforeNewProjectAndOnExit() {
    DesktopFixture f;
    desktop::MainWindow& w = f.Window();
    QVERIFY(w.LoadProject(f.MakeExampleProject("p")));
    w.Pane()->setPlainText("edited text");
    QVERIFY(w.Dirty());
    // Cancel at the question: the text stays and nothing else happens.
    f.answers = {Answer::Cancel};
    QVERIFY(w.Run(cmd::NewProject));
    QVERIFY(f.SawBox("Save current changes in p.txt?"));
    QCOMPARE(w.Pane()->toPlainText(), QString("edited text"));
    // Exit, then Cancel: still running, and the database still answers.
    f.answers = {Answer::Cancel};
    QVERIFY(w.Run(cmd::Exit));
    QVERIFY(w.CurrentSession().db.IsOpen());
    QVERIFY(w.Run(cmd::Stats));
    QVERIFY(w.Pane()->toPlainText().contains("edited text"));
  }
};

QTEST_MAIN(MenusTest)
#include "menus_test.moc"
