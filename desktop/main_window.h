// Tarne's main window: the menus, the pane, and the dispatch of every menu
// command to the core.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "desktop_port.h"
#include "remembered_settings.h"
#include "evaluation/cross_validation.h"
#include "import/import_essays.h"
#include "project/save_project.h"
#include "project/session.h"
#include "scoring/options_rules.h"
#include "shell/menu_state.h"

class QAction;
class QLabel;
class QMenu;
class QPrinter;
class QSplashScreen;

namespace tarne::desktop {

class DocumentPane;
class HelpWindow;
class ResultsView;

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  // configFolder: where tarne.ini and datasources.ini live (empty: the user's).
  explicit MainWindow(const std::string& configFolder = {});
  ~MainWindow() override;

  // Runs a menu command as if it was chosen.  Answers false when it was not
  // available (greyed, or held while another command runs).
  bool Run(int command);
  // Loads a project file (the internal load command).  Answers whether the
  // project became current.
  bool LoadProject(const std::string& projectFile);
  // Opens a file into the pane, or loads it when its name says it is a project.
  void OpenDocument(const std::string& path);
  // The program's arguments after its name: an existing project file (its
  // name holds ".trn" in any case) is loaded, anything else is ignored; a
  // second argument is a text file opened into the pane.
  void OpenArguments(const QStringList& arguments);

  QAction* Action(int command) const;
  DocumentPane* Pane() const { return pane_; }
  ResultsView* Results() const { return results_; }
  DesktopPort& Port() { return *port_; }
  Session& CurrentSession() { return *session_; }
  const MenuState& Menus() const { return menus_; }
  bool Dirty() const { return dirty_; }
  const std::string& DocumentFile() const { return documentFile_; }
  // The status bar's line: the next step of a new user's three.
  QString Guidance() const;
  // Gives the window its place: the remembered one when it is still on a
  // screen, else centred on the primary screen.
  void PlaceOnScreen();
  // Closes the splash picture when the first menu opens.
  void SetSplash(QSplashScreen* splash);
  // Builds the recent-project items (done once, as the first menu opens).
  void BuildRecentItems();

  // What the commands ask the user through dialogs; tests replace these.
  struct Choosers {
    std::function<bool(SaveMode)> projectDialog;
    std::function<bool()> scoringOptions;
    // Answers the chosen file, or "" when the dialog was cancelled.
    std::function<std::string(bool project)> openFile;
    std::function<std::string()> saveFile;
    std::function<bool(QPrinter&)> printSetup;
    // Shows the preview of printer's pages, drawn by paint as it asks for them.
    std::function<void(QPrinter&, const std::function<void(QPrinter*)>& paint)> printPreview;
    // The text to look for in the pane; "" when cancelled.
    std::function<QString(const QString& last)> findText;
    std::function<void(const EvaluationResult&)> evaluationTable;
    std::function<bool(ImportOptions&, ProjectDialogValues&)> importEssays;
  };
  Choosers choosers;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenus();
  QAction* AddCommand(QMenu* menu, int command, const QString& text);
  void SyncActions();
  void RefreshEditState();
  void FirstMenuOpened();
  void SetTitle(const std::string& document);
  void UpdateGuidance();
  void FindInPane(bool again);
  bool WordsTrained();
  // Runs work with every command and the close box held.
  void Held(const std::function<void()>& work);
  void Dispatch(int command);
  void NewProject();
  void EditProject();
  void ScoreCommand();
  void StatisticsCommand();
  void FitResults();
  void CompareSettings();
  void ImportEssaysCommand();
  void OpenRecent(int command);
  void ShowHelp();
  void OpenWebSite();
  void ShowAbout();
  void ChooseFont();
  void OutOfSpace();

  // Document commands.
  Answer AskToSave();
  bool SaveDocument();
  bool SaveDocumentAs();
  bool WritePane(const std::string& path);
  void OpenWithDialog(bool project);
  // A file dropped on the window.
  void OpenDropped(const std::string& path);
  void OpenIntoPane(const std::string& path);
  void PrintDocument();
  void PrintPreview();
  // Draws the pane's text on printer's pages under their heading; answers
  // false when the printer could not be started or take a new page.
  bool PaintPages(QPrinter& printer, const std::function<bool()>& cancelled);
  QString PrintHeading() const;
  std::string DocumentTitleOrUntitled() const;

  DocumentPane* pane_ = nullptr;
  ResultsView* results_ = nullptr;
  std::unique_ptr<DesktopPort> port_;
  std::unique_ptr<Session> session_;
  MenuState menus_;
  ScoringDialogMemory scoringMemory_;
  std::map<int, QAction*> actions_;
  std::map<int, std::string> recentPaths_;
  QMenu* fileMenu_ = nullptr;
  QLabel* guidance_ = nullptr;
  std::unique_ptr<RememberedSettings> remembered_;
  QAction* recentSeparator_ = nullptr;
  QAction* find_ = nullptr;
  QAction* findNext_ = nullptr;
  QAction* printPreview_ = nullptr;
  QString lastFind_;
  QPointer<QSplashScreen> splash_;
  QPointer<HelpWindow> help_;
  bool menusOpened_ = false;
  bool resultsFitted_ = false;
  bool dirty_ = false;
  bool closeAfterRun_ = false;
  bool asking_ = false;  // the stop-and-close question is showing
  bool spaceWarned_ = false;
  std::string documentFile_;
  std::string documentTitle_;
};

}  // namespace tarne::desktop
