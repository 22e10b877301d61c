#include "main_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QSessionManager>
#include <QSplashScreen>
#include <filesystem>

#include "artwork.h"
#include "dialogs.h"
#include "document_pane.h"
#include "help_window.h"
#include "path_drops.h"
#include "results_view.h"
#include "project/recent_projects.h"
#include "scoring/results.h"
#include "scoring/scoring.h"
#include "shell/version.h"
#include "training/training.h"

namespace tarne::desktop {

namespace {

// A new user's three steps, in order.
const char* const kSteps[] = {
    "Create or open a project (File)",
    "Tick Options > Allow Train Words, then Train > Words",
    "Score the trial essays (Score)",
};

}  // namespace

MainWindow::MainWindow(const std::string& configFolder) {
  setObjectName("main");
  pane_ = new DocumentPane(this);
  setCentralWidget(pane_);
  // Charts of the last run and statistics, beside the pane once there are any.
  results_ = new ResultsView(this);
  addDockWidget(Qt::RightDockWidgetArea, results_);
  results_->hide();
  port_ = std::make_unique<DesktopPort>(this, pane_);
  session_ = std::make_unique<Session>(*port_, configFolder);
  setWindowIcon(TarneIcon());
  resize(900, 640);
  remembered_ = std::make_unique<RememberedSettings>(session_->configFolder);
  if (auto font = remembered_->PaneFont()) pane_->setFont(*font);
  remembered_->LoadScoringOptions(session_->options);

  port_->onAppended = [this] {
    if (!menus_.Enabled(cmd::Save)) {
      menus_.PaneFilled();
      SyncActions();
    }
  };
  port_->onPaneFull = [this] { OutOfSpace(); };
  pane_->onOutOfSpace = [this] { OutOfSpace(); };
  pane_->onDeleteKey = [this] { Run(cmd::Delete); };
  connect(pane_->document(), &QTextDocument::contentsChanged, this, [this] { dirty_ = true; });
  connect(pane_, &QPlainTextEdit::copyAvailable, this, [this] { RefreshEditState(); });
  connect(pane_, &QPlainTextEdit::undoAvailable, this, [this] { RefreshEditState(); });
  connect(QApplication::clipboard(), &QClipboard::dataChanged, this,
          [this] { RefreshEditState(); });

  choosers.projectDialog = [this](SaveMode mode) {
    return RunProjectDialog(this, *session_, mode);
  };
  choosers.scoringOptions = [this] {
    return RunScoringOptionsDialog(this, *session_, scoringMemory_);
  };
  choosers.openFile = [this](bool project) {
    const QString filter = project ? tr("Tarne Project Files (*.trn *.TRN)")
                                   : tr("Text Files (*.txt *.TXT);;Log Files (*.log *.LOG);;"
                                        "All Files (*)");
    const QString kind = project ? "project" : "open";
    const QString chosen =
        QFileDialog::getOpenFileName(this, project ? tr("Open Project") : tr("Open"),
                                     remembered_->LastFolder(kind), filter, nullptr,
                                     QFileDialog::ReadOnly);
    remembered_->SetLastFolder(kind, chosen);
    return chosen.toStdString();
  };
  choosers.saveFile = [this] {
    QFileDialog dialog(this, tr("Save As"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({tr("Text Files (*.txt *.TXT)"), tr("Log Files (*.log *.LOG)"),
                           tr("All Files (*)")});
    dialog.setDefaultSuffix("txt");
    if (!remembered_->LastFolder("save").isEmpty())
      dialog.setDirectory(remembered_->LastFolder("save"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::string();
    remembered_->SetLastFolder("save", dialog.selectedFiles().first());
    return dialog.selectedFiles().first().toStdString();
  };
  choosers.evaluationTable = [this](const EvaluationResult& result) {
    ShowEvaluationWindow(this, result);
  };
  choosers.importEssays = [this](ImportOptions& options, ProjectDialogValues& values) {
    return RunImportDialog(this, options, values);
  };
  choosers.printSetup = [this](QPrinter& printer) {
    QPrintDialog dialog(&printer, this);
    return dialog.exec() == QDialog::Accepted;
  };
  choosers.printPreview = [this](QPrinter& printer,
                                 const std::function<void(QPrinter*)>& paint) {
    QPrintPreviewDialog preview(&printer, this);
    preview.setObjectName("printPreviewDialog");
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, paint);
    preview.resize(std::min(900, screen()->availableGeometry().width()),
                   std::min(800, screen()->availableGeometry().height()));
    preview.exec();
  };
  choosers.findText = [this](const QString& last) {
    bool ok = false;
    const QString text = QInputDialog::getText(this, tr("Find"), tr("Find in the pane:"),
                                               QLineEdit::Normal, last, &ok);
    return ok ? text : QString();
  };

  // Logging out asks the same question as the close box; Cancel keeps the
  // session (and Tarne) going.
  connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
    if (dirty_ && manager.allowsInteraction() && AskToSave() == Answer::Cancel) manager.cancel();
  });

  BuildMenus();
  // A project file dragged from the file manager opens; any other file opens
  // into the pane, as Open Log/Text would.
  for (QWidget* target : {static_cast<QWidget*>(this), pane_->viewport()})
    AcceptDroppedPaths(
        target,
        [this](const QString& path) { return !menus_.Held() && QFileInfo(path).isFile(); },
        [this](const QString& path) { OpenDropped(path.toStdString()); });
  // Until the first report the empty pane shows the way in, and the status
  // bar keeps saying what to do next.
  pane_->setPlaceholderText(QString("Getting started:\n\n  1. %1\n  2. %2\n  3. %3\n\n"
                                    "F1 opens the user guide.")
                                .arg(kSteps[0], kSteps[1], kSteps[2]));
  guidance_ = new QLabel(this);
  guidance_->setObjectName("guidance");
  statusBar()->addWidget(guidance_, 1);
  UpdateGuidance();
  SetTitle({});
  dirty_ = false;
  SyncActions();
}

MainWindow::~MainWindow() {
  // The pane goes with the window; nothing may append to it afterwards.
  port_->onAppended = nullptr;
  port_->onPaneFull = nullptr;
}

QAction* MainWindow::AddCommand(QMenu* menu, int command, const QString& text) {
  QAction* action = menu ? menu->addAction(text) : new QAction(text, this);
  actions_[command] = action;
  connect(action, &QAction::triggered, this, [this, command] { Run(command); });
  return action;
}

void MainWindow::BuildMenus() {
  QMenuBar* bar = menuBar();
  QMenu* file = bar->addMenu(tr("&File"));
  fileMenu_ = file;
  AddCommand(file, cmd::OpenProject, tr("&Open Project...\tCtrl+O"))
      ->setShortcut(QKeySequence("Ctrl+O"));
  AddCommand(file, cmd::NewProject, tr("&New Project\tCtrl+N"))
      ->setShortcut(QKeySequence("Ctrl+N"));
  AddCommand(file, cmd::EditProject, tr("&Edit Project"));
  AddCommand(file, cmd::OpenLogText, tr("Open Log/Text"));
  AddCommand(file, cmd::ImportEssays, tr("&Import Essays..."));
  AddCommand(file, cmd::Save, tr("&Save\tCtrl+S"))->setShortcut(QKeySequence("Ctrl+S"));
  AddCommand(file, cmd::SaveAs, tr("Save &As..."));
  file->addSeparator();
  AddCommand(file, cmd::Print, tr("&Print...\tCtrl+P"))->setShortcut(QKeySequence("Ctrl+P"));
  printPreview_ = file->addAction(tr("Print Pre&view..."));
  printPreview_->setObjectName("printPreview");
  connect(printPreview_, &QAction::triggered, this, [this] {
    if (menus_.Available(cmd::Print)) PrintPreview();
  });
  file->addSeparator();
  AddCommand(file, cmd::Exit, tr("E&xit"));

  QMenu* edit = bar->addMenu(tr("&Edit"));
  AddCommand(edit, cmd::Undo, tr("&Undo\tCtrl+Z"))
      ->setShortcuts({QKeySequence("Ctrl+Z"), QKeySequence("Alt+Backspace")});
  edit->addSeparator();
  AddCommand(edit, cmd::Cut, tr("Cu&t\tCtrl+X"))
      ->setShortcuts({QKeySequence("Ctrl+X"), QKeySequence("Shift+Del")});
  AddCommand(edit, cmd::Copy, tr("&Copy\tCtrl+C"))
      ->setShortcuts({QKeySequence("Ctrl+C"), QKeySequence("Ctrl+Ins")});
  AddCommand(edit, cmd::Paste, tr("&Paste\tCtrl+V"))
      ->setShortcuts({QKeySequence("Ctrl+V"), QKeySequence("Shift+Ins")});
  edit->addSeparator();
  AddCommand(edit, cmd::SelectAll, tr("&Select All"));
  // Delete has a key but no menu item.
  QAction* del = AddCommand(nullptr, cmd::Delete, tr("Delete"));
  del->setShortcut(QKeySequence(Qt::Key_Delete));
  addAction(del);

  edit->addSeparator();
  find_ = edit->addAction(tr("&Find...\tCtrl+F"));
  find_->setObjectName("find");
  find_->setShortcut(QKeySequence::Find);
  connect(find_, &QAction::triggered, this, [this] { FindInPane(false); });
  findNext_ = edit->addAction(tr("Find &Next\tF3"));
  findNext_->setObjectName("findNext");
  findNext_->setShortcut(QKeySequence(Qt::Key_F3));
  connect(findNext_, &QAction::triggered, this, [this] { FindInPane(true); });

  QMenu* train = bar->addMenu(tr("&Train"));
  AddCommand(train, cmd::TrainWords, tr("&Words"));
  AddCommand(train, cmd::TrainPairs, tr("Word &Pairs"));
  AddCommand(train, cmd::TrainArguments, tr("&Arguments"));
  train->addSeparator();
  AddCommand(train, cmd::PurgeWords, tr("Purge Infreq Words"));
  AddCommand(train, cmd::PurgePairs, tr("Purge Infreq Word Pairs"));
  AddCommand(train, cmd::PurgeArguments, tr("Purge Infreq Arguments"));
  train->addSeparator();
  AddCommand(train, cmd::Compact, tr("&Compact database"));

  // Score is a command on the bar itself, not a menu.
  QAction* score = bar->addAction(tr("Score"));
  actions_[cmd::Score] = score;
  connect(score, &QAction::triggered, this, [this] { Run(cmd::Score); });

  QMenu* evaluate = bar->addMenu(tr("E&valuate"));
  AddCommand(evaluate, cmd::Stats, tr("Database Stats"));
  AddCommand(evaluate, cmd::TopWords, tr("Top &Words"));
  AddCommand(evaluate, cmd::TopPairs, tr("Top Word &Pairs"));
  AddCommand(evaluate, cmd::TopArgs, tr("Top &Args"));
  evaluate->addSeparator();
  AddCommand(evaluate, cmd::CompareSettings, tr("&Compare Settings"));
  evaluate->addSeparator();
  QAction* showResults = results_->toggleViewAction();
  showResults->setText(tr("&Results View"));
  evaluate->addAction(showResults);

  QMenu* options = bar->addMenu(tr("&Options"));
  AddCommand(options, cmd::AllowEraseWords, tr("Allow Erase Words"));
  AddCommand(options, cmd::AllowErasePairs, tr("Allow Erase Word Pairs"));
  AddCommand(options, cmd::AllowEraseArguments, tr("Allow Erase Arguments"));
  options->addSeparator();
  AddCommand(options, cmd::AllowTrainWords, tr("Allow Train Words"));
  AddCommand(options, cmd::AllowTrainPairs, tr("Allow Train Word Pairs"));
  AddCommand(options, cmd::AllowTrainArguments, tr("Allow Train Arguments"));
  options->addSeparator();
  AddCommand(options, cmd::EraseWords, tr("Erase Words"));
  AddCommand(options, cmd::ErasePairs, tr("Erase Word Pairs"));
  AddCommand(options, cmd::EraseArguments, tr("Erase Arguments"));
  options->addSeparator();
  AddCommand(options, cmd::Font, tr("&Font..."));
  for (int t = cmd::AllowEraseWords; t <= cmd::AllowTrainArguments; ++t)
    actions_[t]->setCheckable(true);

  QMenu* help = bar->addMenu(tr("&Help"));
  AddCommand(help, cmd::Help, tr("&Help"))->setShortcut(QKeySequence(Qt::Key_F1));
  AddCommand(help, cmd::WebSite, tr("&Web site"));
  AddCommand(help, cmd::About, tr("&About Tarne..."));

  for (QMenu* menu : {file, edit, train, evaluate, options, help})
    connect(menu, &QMenu::aboutToShow, this, [this] {
      FirstMenuOpened();
      RefreshEditState();
    });
  // The text in the tab of a menu item is only a label; the shortcut itself
  // is the action's, so each key runs exactly what its item says.
  for (auto& [command, action] : actions_) action->setShortcutContext(Qt::WindowShortcut);
}

QAction* MainWindow::Action(int command) const {
  auto it = actions_.find(command);
  return it == actions_.end() ? nullptr : it->second;
}

void MainWindow::SyncActions() {
  for (auto& [command, action] : actions_) {
    action->setEnabled(menus_.Available(command));
    if (action->isCheckable()) action->setChecked(menus_.Checked(command));
  }
  menuBar()->setEnabled(!menus_.Held());
  // Finding and previewing are the desktop's own: held with the rest, and
  // a preview needs what Print needs.
  find_->setEnabled(!menus_.Held());
  findNext_->setEnabled(!menus_.Held());
  printPreview_->setEnabled(menus_.Available(cmd::Print));
}

void MainWindow::RefreshEditState() {
  const QMimeData* clip = QApplication::clipboard()->mimeData();
  menus_.SetEditState(pane_->document()->isUndoAvailable(), pane_->textCursor().hasSelection(),
                      clip && clip->hasText());
  for (int c : {cmd::Undo, cmd::Cut, cmd::Copy, cmd::Paste})
    if (QAction* a = Action(c)) a->setEnabled(menus_.Available(c));
}

void MainWindow::SetSplash(QSplashScreen* splash) { splash_ = splash; }

void MainWindow::PlaceOnScreen() {
  // restoreGeometry itself moves a window whose screen is gone back onto one.
  if (restoreGeometry(remembered_->WindowGeometry())) return;
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect room = screen->availableGeometry();
  resize(std::min(width(), room.width()), std::min(height(), room.height()));
  QRect place(QPoint(), size());
  place.moveCenter(room.center());
  move(place.topLeft());
}

void MainWindow::FirstMenuOpened() {
  if (menusOpened_) return;
  menusOpened_ = true;
  if (splash_) splash_->close();
  BuildRecentItems();
}

void MainWindow::BuildRecentItems() {
  const std::vector<std::string> items = LoadRecentProjects(session_->configFolder);
  QAction* exit = Action(cmd::Exit);
  if (items.empty()) return;
  for (std::size_t i = 0; i < items.size() && i < 6; ++i) {
    const int command = cmd::RecentFirst + static_cast<int>(i);
    // The item's text is "&n path"; a "&" inside the path must show as itself.
    QString shown = QString::fromStdString(items[i]);
    const int blank = shown.indexOf(' ');
    shown = shown.left(blank + 1) + shown.mid(blank + 1).replace("&", "&&");
    recentPaths_[command] = items[i];
    QAction* action = Action(command);
    if (action) {
      action->setText(shown);
      continue;
    }
    action = new QAction(shown, this);
    actions_[command] = action;
    connect(action, &QAction::triggered, this, [this, command] { Run(command); });
    fileMenu_->insertAction(recentSeparator_ ? recentSeparator_ : exit, action);
  }
  if (!recentSeparator_) recentSeparator_ = fileMenu_->insertSeparator(exit);
  SyncActions();
}

bool MainWindow::WordsTrained() {
  Database& db = session_->db;
  if (!db.IsOpen()) return false;
  db.Statement(1, "SELECT g1+g2+g3+g4+g5 FROM trainsize");
  db.FetchResult(1, 0);
  const bool trained = db.EndOfData(1) == 0 && db.ColumnUInt(1, 1) > 0;
  return trained;
}

void MainWindow::UpdateGuidance() {
  const char* step = !menus_.Enabled(cmd::EditProject) ? kSteps[0]
                     : !WordsTrained()                 ? kSteps[1]
                                                       : kSteps[2];
  guidance_->setText(QString("Next step: ") + step);
}

QString MainWindow::Guidance() const { return guidance_->text(); }

void MainWindow::SetTitle(const std::string& document) {
  setWindowTitle(QString("%1 - %2").arg(kProgramName,
                                        document.empty() ? QString("(untitled)")
                                                         : QString::fromStdString(document)));
}

bool MainWindow::Run(int command) {
  // A command chosen while another one runs would share its essay state and
  // database statements: it is refused, not queued.
  if (menus_.Held()) return false;
  if (command >= cmd::Undo && command <= cmd::Paste) RefreshEditState();
  if (!menus_.Enabled(command)) return false;
  spaceWarned_ = false;
  Dispatch(command);
  UpdateGuidance();
  return true;
}

void MainWindow::Held(const std::function<void()>& work) {
  port_->groupNames = session_->settings.groupNames;
  menus_.SetHeld(true);
  pane_->setReadOnly(true);
  SyncActions();
  work();
  port_->EndRun();
  menus_.SetHeld(false);
  pane_->setReadOnly(false);
  SyncActions();
  if (closeAfterRun_) {
    closeAfterRun_ = false;
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
  }
}

void MainWindow::Dispatch(int command) {
  Session& s = *session_;
  switch (command) {
    case cmd::NewProject: NewProject(); break;
    case cmd::OpenProject: OpenWithDialog(true); break;
    case cmd::OpenLogText: OpenWithDialog(false); break;
    case cmd::Save: SaveDocument(); break;
    case cmd::SaveAs: SaveDocumentAs(); break;
    case cmd::Print: PrintDocument(); break;
    case cmd::Exit: close(); break;
    case cmd::EditProject: EditProject(); break;
    case cmd::ImportEssays: ImportEssaysCommand(); break;
    case cmd::CompareSettings: CompareSettings(); break;
    case cmd::Undo: pane_->undo(); break;
    case cmd::Cut: pane_->cut(); break;
    case cmd::Copy: pane_->copy(); break;
    case cmd::Paste: pane_->paste(); break;
    case cmd::Delete: {
      // Clears the selection; with none it deletes the character after the caret.
      QTextCursor cursor = pane_->textCursor();
      if (cursor.hasSelection()) cursor.removeSelectedText();
      else if (!pane_->isReadOnly()) cursor.deleteChar();
      pane_->setTextCursor(cursor);
      break;
    }
    case cmd::SelectAll: pane_->selectAll(); break;
    case cmd::TrainWords:
      Held([&] { TrainKind(s, TokenKind::Words); });
      menus_.WordsTrained();
      SyncActions();
      break;
    case cmd::TrainPairs: Held([&] { TrainKind(s, TokenKind::Pairs); }); break;
    case cmd::TrainArguments: Held([&] { TrainKind(s, TokenKind::Arguments); }); break;
    case cmd::PurgeWords: Held([&] { PurgeInfrequent(s, TokenKind::Words); }); break;
    case cmd::PurgePairs: Held([&] { PurgeInfrequent(s, TokenKind::Pairs); }); break;
    case cmd::PurgeArguments: Held([&] { PurgeInfrequent(s, TokenKind::Arguments); }); break;
    case cmd::Compact: Held([&] { CompactCommand(s); }); break;
    case cmd::Score: ScoreCommand(); break;
    case cmd::Stats: StatisticsCommand(); break;
    case cmd::TopWords: Held([&] { ShowTopTokens(s, TokenKind::Words); }); break;
    case cmd::TopPairs: Held([&] { ShowTopTokens(s, TokenKind::Pairs); }); break;
    case cmd::TopArgs: Held([&] { ShowTopTokens(s, TokenKind::Arguments); }); break;
    case cmd::EraseWords: Held([&] { EraseDatabase(s); }); break;
    case cmd::ErasePairs: Held([&] { PurgeAllOfKind(s, TokenKind::Pairs); }); break;
    case cmd::EraseArguments: Held([&] { PurgeAllOfKind(s, TokenKind::Arguments); }); break;
    case cmd::Font: ChooseFont(); break;
    case cmd::Help: ShowHelp(); break;
    case cmd::WebSite: OpenWebSite(); break;
    case cmd::About: ShowAbout(); break;
    default:
      if (command >= cmd::AllowEraseWords && command <= cmd::AllowTrainArguments) {
        menus_.Toggle(command);
        SyncActions();
      } else if (command >= cmd::RecentFirst && command <= cmd::RecentLast) {
        OpenRecent(command);
      }
      break;
  }
}

void MainWindow::NewProject() {
  // The pane is about to be emptied: edited text is offered for saving first.
  if (dirty_ && AskToSave() == Answer::Cancel) return;
  pane_->Load({});
  documentFile_.clear();
  documentTitle_.clear();
  SetTitle({});
  dirty_ = false;
  if (!choosers.projectDialog(SaveMode::New)) return;
  results_->Clear();
  menus_.ProjectCreated();
  SyncActions();
  Session& s = *session_;
  s.db.Close();
  s.OpenProjectDatabase();
  s.Message("Project " + s.settings.sname + " created");
  s.Log("Database " + s.settings.sname + " created");
  dirty_ = false;
}

void MainWindow::EditProject() {
  if (!choosers.projectDialog(SaveMode::Edit)) return;
  Session& s = *session_;
  s.Message("Project " + s.settings.sname + " edited");
  s.Log("Database " + s.settings.sname + " edited");
}

void MainWindow::CompareSettings() {
  Session& s = *session_;
  EvaluationResult result;
  bool done = false;
  Held([&] { done = CrossValidate(s, s.settings.ProjectFilePath(), 5, 1, result); });
  if (!done) return;
  s.Append(EvaluationText(result));
  choosers.evaluationTable(result);
}

void MainWindow::ImportEssaysCommand() {
  ImportOptions options;
  ProjectDialogValues values;
  if (!choosers.importEssays(options, values)) return;
  ImportResult result;
  std::string why;
  if (!ImportEssays(options, result, why)) {
    session_->Message(why, kProgramName, Buttons::Ok, Icon::Exclamation);
    return;
  }
  std::string summary;
  for (char c : ImportSummary(result)) summary += c == '\n' ? std::string("\r\n") : std::string(1, c);
  values.groups = result.Groups();
  values.train = result.trainFolders;
  values.trial = result.trialFolders;
  values.newFolder = result.newFolder;
  values.priors.assign(static_cast<size_t>(result.Groups()), "");
  Session& s = *session_;
  if (!SaveProject(s, values, SaveMode::New)) return;
  s.Append(summary);
  s.db.Close();
  LoadProject(s.settings.ProjectFilePath());
}

void MainWindow::ScoreCommand() {
  if (!choosers.scoringOptions()) return;
  remembered_->SaveScoringOptions(session_->options);
  RunResult result;
  Held([&] { ScoringCommand(*session_, result); });
  if (results_->ShowRun(result)) FitResults();
}

void MainWindow::StatisticsCommand() {
  Session& s = *session_;
  DatabaseStatistics stats;
  bool read = false;
  Held([&] {
    read = ReadDatabaseStatistics(s, std::time(nullptr), stats);
    if (read) AppendDatabaseStatistics(s, stats);
  });
  if (!read) return;
  results_->ShowStatistics(stats);
  FitResults();
}

void MainWindow::FitResults() {
  // Once the user has seen the view, its width is theirs.
  if (resultsFitted_) return;
  resultsFitted_ = true;
  // The view takes about two fifths of the window, the pane keeps the rest.
  resizeDocks({results_}, {std::max(300, width() * 2 / 5)}, Qt::Horizontal);
}

bool MainWindow::LoadProject(const std::string& projectFile) {
  Session& s = *session_;
  if (!s.LoadProject(projectFile)) return false;
  documentFile_.clear();
  documentTitle_ = s.settings.sname + ".txt";
  results_->Clear();
  SetTitle(s.settings.sname);
  s.Message("Project " + s.settings.sname + " loaded");
  // Compaction is built into the database engine: it needs no outside
  // program, so it is offered for every project.
  menus_.ProjectLoaded(true);
  SyncActions();
  UpdateGuidance();
  // Once the recent items are built, a project opened now shows among them.
  if (menusOpened_) BuildRecentItems();
  dirty_ = false;
  return true;
}

void MainWindow::OpenRecent(int command) {
  auto it = recentPaths_.find(command);
  if (it == recentPaths_.end()) return;
  const std::string& text = it->second;
  const std::size_t blank = text.find(' ');
  if (blank == std::string::npos) return;
  const std::string path = text.substr(blank + 1);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return;
  LoadProject(path);
}

void MainWindow::FindInPane(bool again) {
  if (menus_.Held()) return;
  if (!again || lastFind_.isEmpty()) {
    const QString text = choosers.findText(lastFind_);
    if (text.isEmpty()) return;
    lastFind_ = text;
  }
  // Searches on from the caret, then once more from the top.
  if (pane_->find(lastFind_)) return;
  QTextCursor top = pane_->textCursor();
  top.movePosition(QTextCursor::Start);
  pane_->setTextCursor(top);
  if (!pane_->find(lastFind_)) statusBar()->showMessage(tr("\"%1\" not found").arg(lastFind_), 4000);
}

void MainWindow::ChooseFont() {
  bool ok = false;
  const QFont font = QFontDialog::getFont(&ok, pane_->font(), this, tr("Font"));
  if (!ok) return;
  pane_->setFont(font);
  remembered_->SetPaneFont(font);
}

void MainWindow::ShowHelp() {
  if (!help_) help_ = new HelpWindow(this);
  if (!help_->ShowGuide())
    session_->Message("The user guide is not installed.", kProgramName, Buttons::Ok,
                      Icon::Exclamation);
}

void MainWindow::OpenWebSite() {
  // Without a site of its own the program's pages are the guide: it opens in
  // the Help window, which needs no outside browser.
  const QString address = WebSiteAddress();
  if (address.isEmpty()) {
    ShowHelp();
    return;
  }
  if (!OpenAddress(address))
    session_->Message("Could not open the web site " + address.toStdString() +
                          "\r\nNo web browser is set up on this computer.",
                      kProgramName, Buttons::Ok, Icon::Exclamation);
}

void MainWindow::ShowAbout() {
  session_->Message(std::string("         TARNE Version ") + kTarneVersion + "\r\n\r\n    " +
                        "Tarne Essay Classifier" + "\r\n" +
                        "Naive Bayes scoring of essays for teachers and researchers",
                    "About TARNE", Buttons::Ok, Icon::None);
}

void MainWindow::OutOfSpace() {
  // A run that keeps appending would repeat the box for every report line;
  // once per command is enough to tell.
  if (spaceWarned_) return;
  spaceWarned_ = true;
  session_->Message("Edit control out of space", kProgramName, Buttons::Ok, Icon::None);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (menus_.Held()) {
    event->ignore();
    if (closeAfterRun_ || asking_) return;
    asking_ = true;
    port_->AskDuringRun("A run is in progress. Stop it and close Tarne?", [this](bool yes) {
      asking_ = false;
      if (!yes || !menus_.Held()) return;
      closeAfterRun_ = true;
      port_->CancelRun();
    });
    return;
  }
  if (dirty_ && AskToSave() == Answer::Cancel) {
    event->ignore();
    return;
  }
  // Only a window that really closes gives up its database.
  session_->db.Close();
  remembered_->SetWindowGeometry(saveGeometry());
  if (help_) help_->close();
  event->accept();
}

}  // namespace tarne::desktop
