// Long runs started from the menu: the progress window, Cancel mid-run with
// the counts left consistent, the hold on every other command and the close
// box during a run.
#include <QAction>
#include <QApplication>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include "desktop_fixture.h"
#include "document_pane.h"
#include "shell/menu_state.h"
#include "support/training_fixture.h"

using namespace tarne;
using tarne::testing::DesktopFixture;

class RunsTest : public QObject {
  Q_OBJECT
 private:
  // Presses Cancel in the progress window whose status first contains text.
  static void CancelWhen(desktop::MainWindow& w, const QString& status, bool* pressed) {
    w.Port().onPendingMessages = [&w, status, pressed] {
      desktop::ProgressDialog* p = w.Port().LatestProgressWindow();
      if (*pressed || !p || !p->Status().contains(status)) return;
      *pressed = true;
      QTest::mouseClick(p->CancelButton(), Qt::LeftButton);
    };
  }
  static bool Consistent(DesktopFixture& f) {
    for (int g = 1; g <= 3; ++g) {
      const std::string gs = std::to_string(g);
      if (f.Value("SELECT count(*) FROM calib WHERE gr=" + gs) !=
          f.Value("SELECT g" + gs + " FROM trainsize"))
        return false;
    }
    return true;
  }

 private slots:
  // Evaluate > Compare Settings: the report in the pane, the ranked table in
  // a window, and the project's database untouched.
  void compareSettingsShowsTheRankedTable() {
    DesktopFixture f;
    desktop::MainWindow& w = f.Window();
    const std::string project = f.MakeExampleProject("e");
    QVERIFY(w.LoadProject(project));
    QVERIFY(w.Run(cmd::CompareSettings));
    QVERIFY(w.Pane()->toPlainText().contains("Best setting, ranked by mean QWK:"));
    QTableWidget* table = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
      if (auto* t = top->findChild<QTableWidget*>("evaluationTable")) table = t;
    QVERIFY(table);
    QCOMPARE(table->rowCount(), 64);
  }

  void progressWindowClampsSharesAndCancels() {
    DesktopFixture f;
    desktop::DesktopPort& port = f.Window().Port();
    ProgressHandle a = port.PROGRESS_INIT("First");
    desktop::ProgressDialog* dialog = port.LatestProgressWindow();
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(dialog->windowTitle(), QString("First"));
    port.PROGRESS_SET(a, -5, "below");
    QCOMPARE(dialog->Position(), 0);
    QCOMPARE(dialog->Status(), QString("below"));
    port.PROGRESS_SET(a, 250, "above");
    QCOMPARE(dialog->Position(), 100);
    QCOMPARE(dialog->Status(), QString("above"));
    port.PROGRESS_SET(a, 40, "");
    port.PROGRESS_SHUTDOWN(a);
    QCOMPARE(port.PROGESS_IS_CANCELLED(a), 1);

    // The last position is shared: a new window that repeats it stays at 0.
    ProgressHandle b = port.PROGRESS_INIT("Second");
    dialog = port.LatestProgressWindow();
    port.PROGRESS_SET(b, 40, "same");
    QCOMPARE(dialog->Position(), 0);
    QCOMPARE(port.PROGESS_IS_CANCELLED(b), 0);
    QTest::mouseClick(dialog->CancelButton(), Qt::LeftButton);
    QCOMPARE(port.PROGESS_IS_CANCELLED(b), 1);
    QCOMPARE(port.PROGESS_IS_CANCELLED(b), 1);
    port.PROGRESS_SHUTDOWN(b);

    // A window the user closed counts as cancelled.
    ProgressHandle c = port.PROGRESS_INIT("Third");
    port.LatestProgressWindow()->close();
    QCOMPARE(port.PROGESS_IS_CANCELLED(c), 1);
    port.PROGRESS_SHUTDOWN(c);
  }

  void trainingCancelledMidRunHoldsEverythingElse() {
    DesktopFixture f;
    desktop::MainWindow& w = f.Window();
    QVERIFY(w.LoadProject(f.MakeExampleProject("t")));
    QVERIFY(w.Run(cmd::AllowTrainWords));
    bool pressed = false;
    CancelWhen(w, "Working on file 4 of", &pressed);
    bool refused = false, greyed = false;
    auto cancel = w.Port().onPendingMessages;
    w.Port().onPendingMessages = [&] {
      cancel();
      if (!pressed) return;
      refused = !w.Run(cmd::Stats) && !w.Run(cmd::TrainWords);
      greyed = !w.Action(cmd::Stats)->isEnabled() && !w.Action(cmd::Exit)->isEnabled();
    };
    QVERIFY(w.Run(cmd::TrainWords));
    QVERIFY(pressed && refused && greyed);
    // Group 1 stopped after three essays; groups 2 and 3 ran whole.
    QCOMPARE(f.Value("SELECT g1 FROM trainsize"), 3.0);
    QCOMPARE(f.Value("SELECT count(*) FROM calib"), 23.0);
    QVERIFY(Consistent(f));
    QVERIFY(w.Action(cmd::Stats)->isEnabled() && w.Action(cmd::Score)->isEnabled());
    QVERIFY(w.Pane()->toPlainText().contains("Training group 1 words 3 files completed"));
  }

  void scoringCancelledMidRunChangesNoCounts() {
    DesktopFixture f;
    desktop::MainWindow& w = f.Window();
    QVERIFY(w.LoadProject(f.MakeExampleProject("s")));
    w.Run(cmd::AllowTrainWords);
    QVERIFY(w.Run(cmd::TrainWords));
    const auto before = tarne::testing::DumpTrainingState(w.CurrentSession().db);
    w.choosers.scoringOptions = [&w] {
      w.CurrentSession().options.What = 1;
      return true;
    };
    bool pressed = false;
    CancelWhen(w, "Working on file 2 of", &pressed);
    QVERIFY(w.Run(cmd::Score));
    QVERIFY(pressed);
    QCOMPARE(tarne::testing::DumpTrainingState(w.CurrentSession().db), before);
    QVERIFY(w.Pane()->toPlainText().contains("Observed"));
  }

  // A Cancel pressed while a large vocabulary is recomputed ends the run
  // there: the window's messages are let through while the rows are read.
  void scoringCancelledWhileRecomputing() {
    DesktopFixture f;
    desktop::MainWindow& w = f.Window();
    QVERIFY(w.LoadProject(f.MakeExampleProject("r")));
    w.Run(cmd::AllowTrainWords);
    QVERIFY(w.Run(cmd::TrainWords));
    for (const char* table : {"run1", "stem"})
      QVERIFY(w.CurrentSession().db.Exec(
          std::string("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n "
                      "WHERE i<20000) INSERT INTO ") +
          table + " (Vocab, isword, v1, v2) SELECT 'w' || i, 1, i % 7, i % 5 FROM n"));
    w.choosers.scoringOptions = [&w] {
      w.CurrentSession().options.What = 1;
      return true;
    };
    bool pressed = false;
    w.Port().onPendingMessages = [&] {
      desktop::ProgressDialog* p = w.Port().LatestProgressWindow();
      if (pressed || !p || p->windowTitle() != "Recomputing") return;
      pressed = true;
      QTest::mouseClick(p->CancelButton(), Qt::LeftButton);
    };
    w.Run(cmd::Score);
    QVERIFY(pressed);
    QCOMPARE(f.Value("SELECT count(*) FROM run1 WHERE p1<>0") +
                 f.Value("SELECT count(*) FROM stem WHERE p1<>0"),
             0.0);
    QVERIFY(!w.Pane()->toPlainText().contains("Observed"));
  }

  void closeBoxDuringARunStopsItThenCloses() {
    DesktopFixture f;
    desktop::MainWindow& w = f.Window();
    w.show();
    QVERIFY(w.LoadProject(f.MakeExampleProject("c")));
    w.Run(cmd::AllowTrainWords);
    bool asked = false;
    w.Port().onPendingMessages = [&] {
      if (asked || !w.Port().LatestProgressWindow()) return;
      asked = true;
      f.answers = {Answer::Yes, Answer::No};  // stop the run; then don't save
      w.close();
      QVERIFY(w.isVisible());
    };
    QVERIFY(w.Run(cmd::TrainWords));
    QVERIFY(f.SawBox("A run is in progress. Stop it and close Tarne?"));
    QVERIFY(f.Value("SELECT count(*) FROM calib") < 5);
    QVERIFY(Consistent(f));
    QTRY_VERIFY(!w.isVisible());
    QVERIFY(!w.CurrentSession().db.IsOpen());
  }

  // The real question opens on top, beside the always-on-top progress
  // window, and the run keeps going while it is asked.
  void closeQuestionSitsOnTheProgressWindow() {
    DesktopFixture f;
    desktop::MainWindow& w = f.Window();
    w.show();
    QVERIFY(w.LoadProject(f.MakeExampleProject("q")));
    w.Run(cmd::AllowTrainWords);
    auto scripted = w.Port().answer;
    w.Port().answer = nullptr;
    QPointer<QMessageBox> box;
    int pollsAfter = 0;
    w.Port().onPendingMessages = [&] {
      auto* progress = w.Port().LatestProgressWindow();
      if (!progress || pollsAfter >= 3) return;
      if (!box) {
        w.close();
        box = w.findChild<QMessageBox*>("runQuestion");
        QVERIFY(box && box->isVisible());
        QVERIFY(box->windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!box->frameGeometry().intersects(progress->frameGeometry()));
        return;
      }
      if (++pollsAfter == 3) {
        w.Port().answer = scripted;
        f.answers = {Answer::No};  // don't save the pane
        box->button(QMessageBox::Yes)->click();
      }
    };
    QVERIFY(w.Run(cmd::TrainWords));
    QVERIFY(pollsAfter >= 3);
    QTRY_VERIFY(!w.isVisible());
  }
};

QTEST_MAIN(RunsTest)
#include "runs_test.moc"
