// The error-analysis dialog: pre-ticking, its buttons, the viewer, and the
// flagged list reaching the untraining of a real project.
#include <QApplication>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QPointer>
#include <QtTest>
#include <memory>

#include "dialog_test_support.h"
#include "dialogs.h"
#include "error_analysis_dialog.h"
#include "project/save_project.h"
#include "project/session.h"
#include "scoring/scoring.h"
#include "support/recording_port.h"
#include "support/temp_folder.h"
#include "training/training.h"

namespace tarne::testing {

using desktop::ErrorAnalysisDialog;

namespace {

// Runs fn on the error dialog once its modal loop has started; a dialog fn
// leaves open (a failed check) is closed so the test cannot hang.
void WhenDialogOpens(std::function<void(ErrorAnalysisDialog*)> fn) {
  QTimer::singleShot(0, [fn] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* d = qobject_cast<ErrorAnalysisDialog*>(w); d && d->isVisible()) {
        fn(d);
        if (d->isVisible()) d->reject();
        return;
      }
    qFatal("the error dialog did not open");
  });
}

// A port whose error analysis is the real dialog, answered by `answer`.
class DialogPort : public RecordingPort {
 public:
  std::function<void(ErrorAnalysisDialog*)> answer;
  int ShowErrorAnalysis(const std::vector<ErrorEntry>& errors, int groups, int what,
                        std::vector<std::string>& flagged) override {
    errorsShown = errors;
    WhenDialogOpens(answer);
    return desktop::RunErrorAnalysisDialog(nullptr, errors, groups, what, flagged);
  }
};

const char* kCats[] = {"Sleepy cats rest inside the sunny garden. Kittens chase butterflies.",
                       "Garden flowers attract curious kittens. Cats purr beside roses."};
const char* kRockets[] = {"Powerful rockets launch from the desert pad. Engines burn fuel.",
                          "Rocket engines roar during every launch. Engineers check fuel."};

std::vector<ErrorEntry> TwoErrors() {
  return {{"/e/a.txt", "   2    1   99.50     .50", 2},
          {"/e/b.txt", "   1    2    2.01   97.99", 1}};
}

}  // namespace

class ErrorAnalysisDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void preTicksAt98AndTrialRunsOnlyShow() {
    ErrorAnalysisDialog d(nullptr, TwoErrors(), 2, 2);
    d.show();
    QCOMPARE(d.windowTitle(), QString("Tarne - select files to remove"));
    QVERIFY(d.IsTicked(0));
    QVERIFY(!d.IsTicked(1));
    SaveShot(&d, "error-analysis-train");
    // Ticking from the keyboard: Down to the second line, Space.
    d.List()->setFocus();
    QTest::keyClick(d.List(), Qt::Key_Down);
    QTest::keyClick(d.List(), Qt::Key_Space);
    QVERIFY(d.IsTicked(0) && d.IsTicked(1));

    ErrorAnalysisDialog trial(nullptr, TwoErrors(), 2, 1);
    trial.show();
    QCOMPARE(trial.windowTitle(), QString("Tarne - error analysis"));
    QVERIFY(!trial.findChild<QPushButton*>("untrain"));
    QVERIFY(!trial.findChild<QCheckBox*>("selectAll"));
    QVERIFY(!trial.IsTicked(0));
    Child<QPushButton>(&trial, "ok")->click();
    QCOMPARE(trial.result(), 0);
  }

  void selectAllThenCancelRemovesNothing() {
    std::vector<std::string> flagged;
    WhenDialogOpens([](ErrorAnalysisDialog* d) {
      Child<QCheckBox>(d, "selectAll")->click();
      QVERIFY(d->IsTicked(0) && d->IsTicked(1));
      Child<QPushButton>(d, "cancel")->click();
    });
    QCOMPARE(desktop::RunErrorAnalysisDialog(nullptr, TwoErrors(), 2, 2, flagged), 0);
    QVERIFY(flagged.empty());
  }

  void untrainWithNothingTickedStaysOpen() {
    ErrorAnalysisDialog d(nullptr, TwoErrors(), 2, 2);
    QStringList told;
    d.tell = [&](const QString& text) { told << text; };
    d.show();
    d.SetTicked(0, false);
    Child<QPushButton>(&d, "untrain")->click();
    QCOMPARE(told, QStringList{"Nothing checked"});
    QVERIFY(d.isVisible());
    d.SetTicked(1, true);
    Child<QPushButton>(&d, "untrain")->click();
    QCOMPARE(d.Flagged(), std::vector<std::string>{" 1/e/b.txt"});
  }

  void clickedPathOpensTheEssay() {
    TempFolder temp;
    // Windows-1252 bytes are shown as such, not as replacement marks.
    const std::string path = temp.Write("essay.txt", "Caf\xE9 au lait.");
    ErrorAnalysisDialog d(nullptr, {{path, "   1    2   10.00   90.00", 1}}, 2, 2);
    std::vector<std::string> opened;
    d.openEssay = [&](const std::string& p) { opened.push_back(p); };
    d.show();
    QTableWidget* list = d.List();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(0, 2)).center());
    QVERIFY(opened.empty());  // the probabilities are not a link
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(0, 1)).center());
    QCOMPARE(opened, std::vector<std::string>{path});
    // From the keyboard: Enter views the current line's essay.
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(opened.size(), std::size_t{2});

    // Without a desktop viewer (offscreen) the program shows the essay itself.
    desktop::OpenEssayViewer(&d, path);
    QWidget* viewer = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->objectName() == "essayViewer" && w->isVisible()) viewer = w;
    QVERIFY(viewer);
    auto* text = Child<QPlainTextEdit>(viewer, "essayText");
    QVERIFY(text->isReadOnly());
    QCOMPARE(text->toPlainText(), QString::fromUtf8("Caf\u00e9 au lait."));
    SaveShot(viewer, "essay-viewer");
    // Over the window that asked for it, and Escape closes it.
    QVERIFY(viewer->frameGeometry().contains(d.frameGeometry().center()));
    QPointer<QWidget> gone = viewer;
    QTest::keyClick(text, Qt::Key_Escape);
    QTRY_VERIFY(!gone);
  }

  void untrainHandsTheFlaggedListToTheCore() {
    TempFolder temp;
    DialogPort port;
    Session session(port, temp.Sub("config"));
    ProjectDialogValues v;
    v.sname = "proj";
    v.root = temp.Path() + "root";
    for (int g = 1; g <= 2; ++g) {
      v.train.push_back(temp.Path() + "train/g" + std::to_string(g));
      v.trial.push_back(temp.Path() + "trial/g" + std::to_string(g));
      v.priors.push_back("");
    }
    QVERIFY(SaveProject(session, v, SaveMode::New));
    QVERIFY(session.OpenProjectDatabase());
    for (int i = 0; i < 2; ++i) {
      temp.Write("train/g1/cat" + std::to_string(i) + ".txt", kCats[i]);
      temp.Write("train/g2/rocket" + std::to_string(i) + ".txt", kRockets[i]);
    }
    // A rocket essay filed with the cats is misclassified against its label.
    const std::string misfiled = temp.Write("train/g1/zz_rocket.txt", kRockets[1]);
    TrainKind(session, TokenKind::Words);
    auto count = [&](const std::string& sql) {
      session.db.Statement(1, sql);
      session.db.FetchResult(1, 0);
      return session.db.ColumnUInt(1, 1);
    };
    QCOMPARE(count("select g1 from trainsize"), 3u);

    port.answer = [](ErrorAnalysisDialog* d) {
      d->SetTicked(0, true);
      Child<QPushButton>(d, "untrain")->click();
    };
    session.options.What = 2;
    session.options.ShowErrors = 1;
    ScoringCommand(session);
    QCOMPARE(port.errorsShown.size(), size_t{1});
    QCOMPARE(port.errorsShown[0].path, misfiled);
    QCOMPARE(count("select isinwords from calib where filen='" + misfiled + "'"), 0u);
    QCOMPARE(count("select g1 from trainsize"), 2u);
  }
};

}  // namespace tarne::testing

QTEST_MAIN(tarne::testing::ErrorAnalysisDialogTest)
#include "error_analysis_dialog_test.moc"
