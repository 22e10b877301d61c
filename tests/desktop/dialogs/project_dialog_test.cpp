// The project dialog driven through its widgets, saving into temporary folders.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <memory>

#include "dialog_test_support.h"
#include "project_dialog.h"
#include "db/find_program.h"
#include "project/session.h"
#include "support/recording_port.h"
#include "support/temp_folder.h"

namespace tarne::testing {

using desktop::ProjectDialog;

class ProjectDialogTest : public QObject {
  Q_OBJECT

  std::unique_ptr<TempFolder> temp;
  std::unique_ptr<RecordingPort> port;
  std::unique_ptr<Session> session;

  std::unique_ptr<ProjectDialog> Open(SaveMode mode) {
    auto dialog = std::make_unique<ProjectDialog>(nullptr, *session, mode);
    dialog->show();
    return dialog;
  }
  static QLineEdit* Edit(QWidget* d, const QString& name) { return Child<QLineEdit>(d, name); }
  static void Click(QWidget* d, const QString& name) {
    Child<QAbstractButton>(d, name)->click();
  }
  void FillNewProject(QWidget* d) {
    Edit(d, "sname")->setText("grade7");
    Edit(d, "root")->setText(QString::fromStdString(temp->Path() + "proj"));
    for (int g = 1; g <= 3; ++g)
      Edit(d, QString("train%1").arg(g))->setText(QString::fromStdString(temp->Path()) +
                                                  QString("train%1").arg(g));
  }

 private slots:
  void init() {
    temp = std::make_unique<TempFolder>();
    port = std::make_unique<RecordingPort>();
    session = std::make_unique<Session>(*port, temp->Sub("config"));
  }
  void cleanup() {
    session.reset();
    temp.reset();
  }

  void hiddenGroupRowsKeepTheirText() {
    auto d = Open(SaveMode::New);
    QCOMPARE(d->Groups(), 2);
    Click(d.get(), "groups5");
    for (const char* row : {"train", "trial"})
      Edit(d.get(), QString(row) + "4")->setText(QString(row) + " four");
    Edit(d.get(), "prior4")->setText(".4");
    Edit(d.get(), "train5")->setText("/five/");
    Click(d.get(), "groups3");
    QCOMPARE(d->Groups(), 3);
    for (const char* row : {"train", "trial", "prior"}) {
      QVERIFY(!Edit(d.get(), QString(row) + "3")->isHidden());
      QVERIFY(Edit(d.get(), QString(row) + "4")->isHidden());
      QVERIFY(Edit(d.get(), QString(row) + "5")->isHidden());
    }
    QVERIFY(Child<QPushButton>(d.get(), "train4Browse")->isHidden());
    Child<QTabWidget>(d.get(), "pages")->setCurrentIndex(1);
    SaveShot(d.get(), "project-training-3-groups");
    Click(d.get(), "groups5");
    for (const char* row : {"train", "trial"}) {
      QVERIFY(!Edit(d.get(), QString(row) + "4")->isHidden());
      QCOMPARE(Edit(d.get(), QString(row) + "4")->text(), QString(row) + " four");
    }
    QVERIFY(!Edit(d.get(), "prior4")->isHidden());
    QCOMPARE(Edit(d.get(), "prior4")->text(), QString(".4"));
    QCOMPARE(Edit(d.get(), "prior5")->text(), QString(".6"));
    QCOMPARE(Edit(d.get(), "train5")->text(), QString("/five/"));
  }

  void setUniformAndTheTypingRules() {
    auto d = Open(SaveMode::New);
    Click(d.get(), "groups3");
    Edit(d.get(), "prior2")->setText(".9");
    Click(d.get(), "setUniform");
    for (int g = 1; g <= 3; ++g)
      QCOMPARE(Edit(d.get(), QString("prior%1").arg(g))->text(), QString(".333333"));
    QVERIFY(port->messages.empty());  // the old .9 raised no warning on the way
    Child<QTabWidget>(d.get(), "pages")->setCurrentIndex(4);
    SaveShot(d.get(), "project-priors");

    // Typed keys run through the rules.
    Edit(d.get(), "prior1")->clear();
    Edit(d.get(), "prior2")->clear();
    QTest::keyClicks(Edit(d.get(), "prior1"), "1.5");
    QTest::keyClicks(Edit(d.get(), "prior2"), "0.7");
    QCOMPARE(Edit(d.get(), "prior1")->text() + Edit(d.get(), "prior3")->text(), QString(".5-.2"));
    QCOMPARE(port->messages.size(), size_t{1});
    QCOMPARE(port->messages[0].caption, std::string("Set priors"));
    QTest::keyClicks(Edit(d.get(), "lowinfo"), "0.a5");
    QCOMPARE(Edit(d.get(), "lowinfo")->text(), QString("0.5"));
    Click(d.get(), "useDefaults");
    QCOMPARE(Edit(d.get(), "common")->text() + Edit(d.get(), "rare")->text() +
                 Edit(d.get(), "lowinfo")->text(),
             QString("1000.030.00.30"));
  }

  void validationKeepsTheDialogOpen() {
    auto d = Open(SaveMode::New);
    Click(d.get(), "done");
    QVERIFY(d->isVisible());
    QCOMPARE(port->messages.size(), size_t{1});
    QCOMPARE(port->messages[0].text, std::string("You need to specify a short name"));
    QCOMPARE(port->messages[0].caption, std::string("More information needed"));

    FillNewProject(d.get());
    Edit(d.get(), "msa")->setText(QString::fromStdString(temp->Sub("nothing-here")));
    Click(d.get(), "done");
    QVERIFY(d->isVisible());
    QCOMPARE(port->messages.back().text, std::string("MSACCESS.EXE not found, path erased"));
    QVERIFY(Edit(d.get(), "msa")->text().isEmpty());
    QCOMPARE(Edit(d.get(), "sname")->text(), QString("grade7"));  // entries intact
    QVERIFY(!FileExists(temp->Path() + "proj/grade7.trn"));
    Click(d.get(), "done");  // again: saved without the path
    QCOMPARE(d->result(), 1);
  }

  // Find searches folder trees for MSACCESS.EXE in any letter case, files
  // before subfolders, dot folders skipped; nothing found says so.
  void findPutsTheProgramFolderIntoTheEdit() {
    std::string root = temp->Sub("drive");
    root.pop_back();
    for (const char* folder : {".hidden/Office", "a/Office", "b"})
      std::filesystem::create_directories(root + "/" + folder);
    for (const char* file : {".hidden/Office/MSACCESS.EXE", "a/Office/MsAccess.exe", "b/msaccess.exe"})
      std::ofstream(root + "/" + file) << "x";
    auto d = Open(SaveMode::New);
    std::vector<std::string> roots = {root};
    d->findProgram = [&] { return QString::fromStdString(FindProgram(roots, "MSACCESS.EXE")); };
    Click(d.get(), "msaFind");
    QCOMPARE(Edit(d.get(), "msa")->text(), QString::fromStdString(root + "/a/Office/"));
    roots = {temp->Sub("empty")};
    Click(d.get(), "msaFind");
    QCOMPARE(port->messages.back().text, std::string("MSACCESS.EXE not found"));
    QCOMPARE(Edit(d.get(), "msa")->text(), QString::fromStdString(root + "/a/Office/"));
  }

  void doneCreatesTheProjectAndEditModeKeepsItsName() {
    auto d = Open(SaveMode::New);
    Click(d.get(), "groups3");
    FillNewProject(d.get());
    Child<QTabWidget>(d.get(), "pages")->setCurrentIndex(0);
    SaveShot(d.get(), "project-database");
    Click(d.get(), "done");
    QCOMPARE(d->result(), 1);
    QVERIFY(!d->isVisible());
    const std::string root = temp->Path() + "proj/";
    QVERIFY(FileExists(root + "grade7.trn"));
    QVERIFY(FileExists(root + "grade7.db"));
    QCOMPARE(session->settings.path2train[2], temp->Path() + "train3/");

    session->settings.dbprogram.clear();  // as an old file may hold it
    auto e = Open(SaveMode::Edit);
    QCOMPARE(e->windowTitle(), QString("Edit Project"));
    QVERIFY(!Edit(e.get(), "sname")->isEnabled());
    QVERIFY(Child<QRadioButton>(e.get(), "sqlite")->isChecked());
    QCOMPARE(Edit(e.get(), "prior1")->text(), QString(".333333333333333"));
    QVERIFY(Child<QRadioButton>(e.get(), "groups3")->isChecked());
    Edit(e.get(), "rare")->setText("25");
    Edit(e.get(), "name1")->setText(" weak ");
    Edit(e.get(), "name3")->setText("strong");
    Click(e.get(), "done");
    QCOMPARE(e->result(), 1);
    QCOMPARE(session->settings.rare, 25.0);
    QCOMPARE(session->settings.groupNames, (std::vector<std::string>{"weak", "", "strong"}));
    QCOMPARE(Edit(Open(SaveMode::Edit).get(), "name3")->text(), QString("strong"));
    QCOMPARE(session->settings.dbprogram, std::string("MSACCESS"));
    QVERIFY(ReadFile(root + "grade7.trn").find("rare= 25\r\n") != std::string::npos);
  }

  void countingRulesAreSavedAndFixedOnceTrained() {
    auto d = Open(SaveMode::New);
    FillNewProject(d.get());
    QVERIFY(Child<QWidget>(d.get(), "rulesFixed")->isHidden());
    Child<QCheckBox>(d.get(), "allSentences")->click();
    Child<QComboBox>(d.get(), "minWordLength")->setCurrentIndex(2);
    Child<QTabWidget>(d.get(), "pages")->setCurrentIndex(5);
    SaveShot(d.get(), "project-preferences");
    Click(d.get(), "done");
    QCOMPARE(d->result(), 1);
    QCOMPARE(session->settings.rules, (CountingRules{true, 2}));
    QVERIFY(ReadFile(temp->Path() + "proj/grade7.trn").find("allsentences= 1\r\nminwordlength= 2") !=
            std::string::npos);

    QVERIFY(session->OpenProjectDatabase());
    session->db.Statement(1, "INSERT INTO calib (filen, gr, isinwords) VALUES ('/e.txt', 1, 1)");
    auto e = Open(SaveMode::Edit);
    QVERIFY(Child<QCheckBox>(e.get(), "allSentences")->isChecked());
    QCOMPARE(Child<QComboBox>(e.get(), "minWordLength")->currentData().toInt(), 2);
    QVERIFY(!Child<QCheckBox>(e.get(), "allSentences")->isEnabled());
    QVERIFY(!Child<QComboBox>(e.get(), "minWordLength")->isEnabled());
    QVERIFY(!Child<QWidget>(e.get(), "rulesFixed")->isHidden());
  }

  void cancelAndBrowse() {
    session->settings.sname = "kept";
    auto d = Open(SaveMode::New);
    QString askedTitle;
    d->chooseFolder = [&](QWidget*, const QString& title) {
      askedTitle = title;
      return QString("/data/essays");
    };
    Click(d.get(), "trial2Browse");
    QCOMPARE(askedTitle, QString("Select Directory"));
    QCOMPARE(Edit(d.get(), "trial2")->text(), QString("/data/essays/"));
    // A folder dropped on a folder field fills it; a file is not taken.
    const QString folder = QString::fromStdString(temp->Path() + "dropped");
    QDir().mkpath(folder);
    QVERIFY(DropPath(Edit(d.get(), "train1"), folder));
    QCOMPARE(Edit(d.get(), "train1")->text(), folder + "/");
    QVERIFY(!DropPath(Edit(d.get(), "root"), QString::fromStdString(temp->Write("a.txt", "x"))));
    QCOMPARE(Edit(d.get(), "root")->text(), QString());
    Edit(d.get(), "sname")->setText("other");
    Click(d.get(), "cancel");
    QCOMPARE(d->result(), 0);
    QCOMPARE(session->settings.sname, std::string("kept"));
  }
};

}  // namespace tarne::testing

QTEST_MAIN(tarne::testing::ProjectDialogTest)
#include "project_dialog_test.moc"
