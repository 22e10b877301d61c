// The pane's file commands: Save and Open round trip, NUL bytes, project
// files opened as text, files too large for the pane, legacy text, printing.
#include <QApplication>
#include <QAction>
#include <QClipboard>
#include <QMenuBar>
#include <QPrinter>
#include <QRegularExpression>
#include <QTest>

#include "desktop_fixture.h"
#include "dialogs/dialog_test_support.h"
#include "document_pane.h"
#include "shell/menu_state.h"
#include "shell/pane.h"
#include "text/essay_encoding.h"
#include "text_decoding.h"

using namespace tarne;
using tarne::testing::DesktopFixture;
using tarne::testing::ReadFile;

class DocumentTest : public QObject {
  Q_OBJECT
 private slots:
  void saveAsThenOpenRoundTrips() {
    DesktopFixture f;
    desktop::MainWindow& w = f.Window();
    QVERIFY(!w.Run(cmd::Save));  // greyed until the pane has text
    QCOMPARE(w.Port().AppendToPane(""), 0);
    QVERIFY(!w.Action(cmd::Save)->isEnabled());
    QCOMPARE(w.Port().AppendToPane("Scores\r\n caf\xc3\xa9 \xe2\x80\x99\r\n"), 1);
    QVERIFY(w.Action(cmd::Save)->isEnabled() && w.Dirty());
    const std::string chosen = f.temp.Path() + "report";  // no extension typed
    w.choosers.saveFile = [&] { return chosen; };
    QVERIFY(w.Run(cmd::Save));
    QVERIFY(!w.Dirty());
    QCOMPARE(w.windowTitle(), QString("Tarne - report.txt"));
    QCOMPARE(ReadFile(chosen + ".txt"), std::string("Scores\n caf\xc3\xa9 \xe2\x80\x99\n"));

    w.Pane()->clear();
    f.answers = {Answer::No};  // the emptied pane is not saved over the report
    w.choosers.openFile = [&](bool) { return chosen + ".txt"; };
    QVERIFY(w.Run(cmd::OpenLogText));
    QCOMPARE(w.Pane()->toPlainText(), QString::fromUtf8("Scores\n caf\xc3\xa9 \xe2\x80\x99\n"));
    QVERIFY(!w.Dirty());

    // An unwritable place: the message names the file and the pane stays dirty.
    w.Pane()->appendPlainText("more");
    w.choosers.saveFile = [&] { return f.temp.Path() + "missing/folder/x.txt"; };
    QVERIFY(w.Run(cmd::SaveAs));
    QVERIFY(f.SawBox("Could not write file " + f.temp.Path() + "missing/folder/x.txt"));
    QVERIFY(w.Dirty());
    QCOMPARE(ReadFile(chosen + ".txt"), std::string("Scores\n caf\xc3\xa9 \xe2\x80\x99\n"));
  }

  void openedFilesNulProjectsLegacyAndSize() {
    DesktopFixture f;
    desktop::MainWindow& w = f.Window();
    std::string path;
    w.choosers.openFile = [&](bool) { return path; };

    path = f.temp.Write("nul.log", std::string("before\0after", 12));
    QVERIFY(w.Run(cmd::OpenLogText));
    QCOMPARE(w.Pane()->toPlainText(), QString("before"));

    // Windows-1252 bytes read as such: a curly apostrophe and an e acute.
    path = f.temp.Write("legacy.txt", "don\x92t caf\xe9");
    QVERIFY(w.Run(cmd::OpenLogText));
    QCOMPARE(w.Pane()->toPlainText(), QString::fromUtf8("don\xe2\x80\x99t caf\xc3\xa9"));

    // Too large for the pane: refused whole, the pane keeps what it had.
    w.Pane()->SetLimit(100);
    path = f.temp.Write("big.txt", std::string(150, 'x'));
    QVERIFY(w.Run(cmd::OpenLogText));
    QVERIFY(f.SawBox("Edit control out of space"));
    QVERIFY(w.Pane()->toPlainText().startsWith("don"));
    QCOMPARE(w.Port().AppendToPane(std::string(98, 'y')), 0);
    QApplication::clipboard()->setText(QString(95, 'z'));
    f.boxes.clear();
    QVERIFY(w.Run(cmd::Paste));
    QVERIFY(f.SawBox("Edit control out of space"));
    QVERIFY(!w.Pane()->toPlainText().contains('z'));
    w.Pane()->SetLimit(kDesktopPaneLimit);

    // A project file chosen as text is loaded as a project.
    path = f.MakeExampleProject("opened");
    QVERIFY(w.Run(cmd::OpenLogText));
    QVERIFY(f.SawBox("Project opened loaded"));
    QCOMPARE(w.windowTitle(), QString("Tarne - opened"));
    QVERIFY(w.CurrentSession().db.IsOpen());
  }

  void utf8IsKeptAndOtherBytesAreWindows1252() {
    QVERIFY(IsValidUtf8("plain \xc3\xa9 \xf0\x9f\x98\x80"));
    QVERIFY(!IsValidUtf8("\xc3"));          // cut short
    QVERIFY(!IsValidUtf8("\xc0\xaf"));      // overlong
    QVERIFY(!IsValidUtf8("\xed\xa0\x80"));  // surrogate
    QCOMPARE(desktop::DisplayUtf8("\x80\x9f\xa0"), std::string("\xe2\x82\xac\xc5\xb8\xc2\xa0"));
    QCOMPARE(desktop::PlainLineEnds("a\r\nb\rc\n"), std::string("a\nb\nc\n"));
  }

  void printsThePaneToPdfPageByPage() {
    DesktopFixture f;
    desktop::MainWindow& w = f.Window();
    const QString pdf = QString::fromStdString(f.temp.Path() + "pane.pdf");
    int copies = 1;
    w.choosers.printSetup = [&](QPrinter& printer) {
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(pdf);
      printer.setCopyCount(copies);
      return true;
    };
    std::string text;
    for (int i = 1; i <= 150; ++i) text += "line " + std::to_string(i) + "\r\n";
    w.Port().AppendToPane(text);
    QVERIFY(w.Run(cmd::Print));
    auto pages = [&] {
      const std::string bytes = ReadFile(pdf.toStdString());
      return static_cast<int>(QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()))
                                  .count(QRegularExpression("/Type\\s*/Page[^s]")));
    };
    const int one = pages();
    QVERIFY2(one >= 2, qPrintable(QString::number(one)));
    copies = 2;
    QVERIFY(w.Run(cmd::Print));
    QCOMPARE(pages(), 2 * one);
  }

  // Edit > Find asks for the text and selects it; Find Next searches on from
  // the caret and then once more from the top.
  void findAndFindNextFromTheEditMenu() {
    DesktopFixture f;
    desktop::MainWindow& w = f.Window();
    w.Port().AppendToPane("alpha beta\r\ngamma beta\r\n");
    QAction* find = w.findChild<QAction*>("find");
    QAction* next = w.findChild<QAction*>("findNext");
    QVERIFY(find && next && find->isEnabled());
    QVERIFY(w.menuBar()->actions()[1]->menu()->actions().contains(find));  // Edit
    int asked = 0;
    w.choosers.findText = [&](const QString&) { return ++asked, QString("beta"); };
    QTextCursor top = w.Pane()->textCursor();
    top.setPosition(0);
    w.Pane()->setTextCursor(top);
    find->trigger();
    QCOMPARE(w.Pane()->textCursor().selectionStart(), 6);
    next->trigger();
    QCOMPARE(w.Pane()->textCursor().selectionStart(), 17);
    next->trigger();  // wraps to the top
    QCOMPARE(w.Pane()->textCursor().selectionStart(), 6);
    QCOMPARE(asked, 1);
  }

  // File > Print Preview: offered when Print is, and it shows the pages
  // Print would print.
  void printPreviewShowsThePrintedPages() {
    DesktopFixture f;
    desktop::MainWindow& w = f.Window();
    QAction* preview = w.findChild<QAction*>("printPreview");
    QVERIFY(preview && !preview->isEnabled());
    std::string text;
    for (int i = 1; i <= 150; ++i) text += "line " + std::to_string(i) + "\r\n";
    w.Port().AppendToPane(text);
    QVERIFY(preview->isEnabled());
    const QString pdf = QString::fromStdString(f.temp.Path() + "preview.pdf");
    w.choosers.printPreview = [&](QPrinter& printer,
                                  const std::function<void(QPrinter*)>& paint) {
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(pdf);
      paint(&printer);
    };
    preview->trigger();
    const std::string bytes = ReadFile(pdf.toStdString());
    const int pages = static_cast<int>(
        QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()))
            .count(QRegularExpression("/Type\\s*/Page[^s]")));
    QVERIFY2(pages >= 2, qPrintable(QString::number(pages)));
  }

  // A project file dropped on the window opens it; a text file opens into
  // the pane as Open Log/Text would, asking to save edited text first.
  void droppedFilesOpen() {
    DesktopFixture f;
    desktop::MainWindow& w = f.Window();
    const std::string project = f.MakeExampleProject("d");
    QVERIFY(tarne::testing::DropPath(w.Pane()->viewport(), QString::fromStdString(project)));
    QCOMPARE(w.windowTitle(), QString("Tarne - d"));
    w.Pane()->appendPlainText("typed");
    f.answers = {Answer::Cancel};
    const QString notes = QString::fromStdString(f.temp.Write("notes.txt", "dropped notes\n"));
    tarne::testing::DropPath(w.Pane()->viewport(), notes);
    QVERIFY(w.Pane()->toPlainText().contains("typed"));
    f.answers = {Answer::No};
    QVERIFY(tarne::testing::DropPath(&w, notes));
    QCOMPARE(w.Pane()->toPlainText(), QString("dropped notes\n"));
  }

  // Reports are not undone line by line; the user's own typing is; Delete
  // clears a selection or deletes forward.
  void undoLeavesReportsAndDeleteGoesForward() {
    DesktopFixture f;
    desktop::MainWindow& w = f.Window();
    w.show();
    desktop::DocumentPane* pane = w.Pane();
    for (const char* line : {"first\r\n", "second\r\n", "third\r\n"})
      w.Port().AppendToPane(line);
    QVERIFY(!pane->document()->isUndoAvailable());
    QVERIFY(!w.Run(cmd::Undo));
    QTest::keyClicks(pane, "xy");
    QVERIFY(w.Run(cmd::Undo));
    QCOMPARE(pane->toPlainText(), QString("first\nsecond\nthird\n"));

    QTextCursor c = pane->textCursor();
    c.setPosition(0);
    pane->setTextCursor(c);
    QTest::keyClick(pane, Qt::Key_Delete);
    QCOMPARE(pane->toPlainText().left(6), QString("irst\ns"));
    c.setPosition(0);
    c.setPosition(5, QTextCursor::KeepAnchor);
    pane->setTextCursor(c);
    QTest::keyClick(pane, Qt::Key_Delete);
    QCOMPARE(pane->toPlainText().left(6), QString("second"));
  }
};

QTEST_MAIN(DocumentTest)
#include "document_test.moc"
