// The scoring options dialog and its one-essay window, through their widgets.
#include <QCheckBox>
#include <QFile>
#include <QTemporaryDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QtTest>
#include <memory>

#include "dialog_test_support.h"
#include "project/session.h"
#include "scoring_options_dialog.h"
#include "support/recording_port.h"

namespace tarne::testing {

using desktop::ScoringOptionsDialog;

class ScoringOptionsDialogTest : public QObject {
  Q_OBJECT

  RecordingPort port;
  std::unique_ptr<Session> session;
  ScoringDialogMemory memory;

  std::unique_ptr<ScoringOptionsDialog> Open() {
    auto d = std::make_unique<ScoringOptionsDialog>(nullptr, *session, memory);
    d->show();
    return d;
  }
  static QCheckBox* Box(QWidget* d, const char* name) { return Child<QCheckBox>(d, name); }
  static void Click(QWidget* d, const char* name) { Child<QAbstractButton>(d, name)->click(); }

 private slots:
  void init() {
    session = std::make_unique<Session>(port);
    session->settings.sname = "Grade7";
    memory = {};
  }

  void newScoredAtOnceWritesNoLog() {
    session->options.What = 3;
    session->options.LogAll = 1;
    auto d = Open();
    QVERIFY(Child<QRadioButton>(d.get(), "what3")->isChecked());
    QVERIFY(!Box(d.get(), "log")->isChecked());
    QCOMPARE(Box(d.get(), "log")->text(), QString("Log all in grade7.csv"));
    Click(d.get(), "score");
    QCOMPARE(d->result(), 1);
    QCOMPARE(session->options.What, 3);
    QCOMPARE(session->options.LogAll, 0);

    // Clicking New forces the log on, and the box cannot be cleared while New is chosen.
    auto again = Open();
    Click(again.get(), "what3");
    QVERIFY(Box(again.get(), "log")->isChecked());
    QVERIFY(!Box(again.get(), "showErrors")->isEnabled());
    QCOMPARE(Box(again.get(), "log")->text(), QString("Log all in grade7new.csv"));
    Click(again.get(), "log");
    QVERIFY(Box(again.get(), "log")->isChecked());
    SaveShot(again.get(), "scoring-options-new");
    Click(again.get(), "score");
    QCOMPARE(session->options.LogAll, 1);
  }

  void modelSettingsReachTheOptions() {
    auto d = Open();
    QLineEdit* alpha = Child<QLineEdit>(d.get(), "alpha");
    QCOMPARE(alpha->text(), QString("1"));
    alpha->selectAll();
    QTest::keyClicks(alpha, "0.x1");
    QCOMPARE(alpha->text(), QString("0.1"));
    Click(d.get(), "stopWordsOnly");
    QVERIFY(!Box(d.get(), "stemmed")->isEnabled());
    QVERIFY(!Box(d.get(), "stopWords")->isEnabled());
    Click(d.get(), "priorsFromTraining");
    SaveShot(d.get(), "scoring-options-settings");
    Click(d.get(), "score");
    QCOMPARE(session->options.Alpha, 0.1);
    QCOMPARE(session->options.StopWordsOnly, 1);
    QCOMPARE(session->options.PriorsFromTraining, 1);
  }

  void stemmedGivesStopWordsBack() {
    auto d = Open();
    QVERIFY(Box(d.get(), "stopWords")->isChecked());
    Click(d.get(), "stemmed");
    QVERIFY(!Box(d.get(), "stopWords")->isChecked());
    QVERIFY(!Box(d.get(), "stopWords")->isEnabled());
    Click(d.get(), "stemmed");
    QVERIFY(Box(d.get(), "stopWords")->isEnabled());
    QVERIFY(Box(d.get(), "stopWords")->isChecked());
    // Plain boxes and the model reach the options on Score, and only then.
    Click(d.get(), "phrases");
    Click(d.get(), "bernoulli");
    QCOMPARE(session->options.CodePhrases, 0);
    Click(d.get(), "score");
    QCOMPARE(session->options.CodePhrases, 1);
    QCOMPARE(session->options.Model, 2);
    QCOMPARE(session->options.What, 1);  // 0 at start shows as Trial

    auto cancelled = Open();
    Click(cancelled.get(), "what2");
    Click(cancelled.get(), "cancel");
    QCOMPARE(cancelled->result(), 0);
    QCOMPARE(session->options.What, 1);
  }

  void oneEssayWindow() {
    auto d = Open();
    QWidget* window = d->OneEssayWindow();
    QVERIFY(!window->isVisible());
    Click(d.get(), "what4");
    QVERIFY(window->isVisible());
    QCOMPARE(window->windowTitle(), QString("Put the one essay here."));
    QVERIFY(!Box(d.get(), "showErrors")->isEnabled());
    QVERIFY(!Box(d.get(), "log")->isEnabled());
    auto* text = Child<QPlainTextEdit>(window, "oneEssayText");
    QTest::keyClicks(text, "Cats sleep.");
    QTest::keyClick(text, Qt::Key_Return);  // Enter is a line break, not Score
    QTest::keyClicks(text, "Rockets fly.");
    QVERIFY(d->isVisible());
    window->resize(500, 400);
    QCoreApplication::processEvents();
    QCOMPARE(text->geometry(), window->rect());
    SaveShot(d.get(), "scoring-options-one");
    SaveShot(window, "one-essay-window");

    // A dropped text file replaces the text (Undo brings it back); legacy
    // bytes read as Windows-1252.
    QTemporaryDir files;
    const QString essay = files.filePath("essay.txt");
    { QFile f(essay); QVERIFY(f.open(QIODevice::WriteOnly)); f.write("Caf\xe9 essays.\n"); }
    QVERIFY(DropPath(text->viewport(), essay));
    QCOMPARE(text->toPlainText(), QString::fromUtf8("Caf\xc3\xa9 essays.\n"));
    text->undo();
    QCOMPARE(text->toPlainText(), QString("Cats sleep.\nRockets fly."));

    // Its close box only hides it; One shows it again with the text.
    window->close();
    Click(d.get(), "what4");
    QVERIFY(window->isVisible());
    Click(d.get(), "score");
    QCOMPARE(session->options.What, 4);
    QCOMPARE(session->options.OneEssayText, std::string("Cats sleep.\nRockets fly."));
    QVERIFY(!window->isVisible());  // goes with the dialog

    // Opening over One opens the window empty; Trial closes it and drops the text.
    auto reopened = Open();
    QVERIFY(reopened->OneEssayWindow()->isVisible());
    auto* fresh = Child<QPlainTextEdit>(reopened->OneEssayWindow(), "oneEssayText");
    QVERIFY(fresh->toPlainText().isEmpty());
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(fresh));  // typing goes in
    QTest::keyClicks(fresh, "Gone soon.");
    Click(reopened.get(), "what1");
    QVERIFY(!reopened->OneEssayWindow()->isVisible());
    Click(reopened.get(), "score");
    QCOMPARE(session->options.What, 1);
    QVERIFY(session->options.OneEssayText.empty());
  }
};

}  // namespace tarne::testing

QTEST_MAIN(tarne::testing::ScoringOptionsDialogTest)
#include "scoring_options_dialog_test.moc"
