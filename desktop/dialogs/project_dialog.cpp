#include "project_dialog.h"

#include <algorithm>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "db/find_program.h"
#include "project/project_dialog_rules.h"
#include "project/session.h"
#include "path_drops.h"
#include "qt_text.h"

namespace tarne::desktop {

namespace {

QString GroupLabel(int g) { return QStringLiteral("Group %1").arg(g); }

// Puts text into an edit, keeping the caret where the user was typing.
void ReplaceText(QLineEdit* edit, const std::string& text) {
  const QString wanted = ToQ(text);
  if (edit->text() == wanted) return;
  const int removed = static_cast<int>(edit->text().size() - wanted.size());
  const int caret = edit->cursorPosition();
  edit->setText(wanted);
  if (edit->hasFocus()) edit->setCursorPosition(std::max(0, caret - std::max(0, removed)));
}

}  // namespace

ProjectDialog::ProjectDialog(QWidget* parent, Session& session, SaveMode mode)
    : QDialog(parent), session_(session), mode_(mode) {
  setObjectName("projectDialog");
  setWindowTitle(mode == SaveMode::New ? "New Project" : "Edit Project");
  findProgram = [] {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const std::string found = FindProgram(ProgramSearchRoots(), "MSACCESS.EXE");
    QGuiApplication::restoreOverrideCursor();
    return ToQ(found);
  };
  chooseFolder = [](QWidget* owner, const QString& title) {
    return QFileDialog::getExistingDirectory(owner, title);
  };

  auto* top = new QGroupBox;
  auto* topGrid = new QGridLayout(top);
  topGrid->addWidget(new QLabel("Create a new project. Be sure to complete all tabs."), 0, 0, 1, 3);
  topGrid->addWidget(new QLabel("Short name"), 1, 0);
  sname_ = Edit("sname");
  topGrid->addWidget(sname_, 1, 1);
  auto* count = new QGroupBox("Number of Categories");
  auto* countRow = new QHBoxLayout(count);
  groupButtons_ = new QButtonGroup(this);
  for (int g = 2; g <= kDialogGroupRows; ++g) {
    auto* radio = new QRadioButton(QString::number(g));
    radio->setObjectName(QStringLiteral("groups%1").arg(g));
    groupButtons_->addButton(radio, g);
    countRow->addWidget(radio);
  }
  topGrid->addWidget(count, 1, 2);
  topGrid->setColumnStretch(1, 1);

  pages_ = new QTabWidget;
  pages_->setObjectName("pages");
  // All six tabs stay in sight: users are told to complete every one.
  pages_->tabBar()->setUsesScrollButtons(false);
  const QStringList labels =
      QString("Database|Training Files|Trial Files|New Files|Priors|Preferences").split('|');
  pages_->addTab(DatabasePage(), labels[0]);
  pages_->addTab(FolderRowsPage("Location of the training files", "train", train_), labels[1]);
  pages_->addTab(FolderRowsPage("Location of the trial files", "trial", trial_), labels[2]);
  pages_->addTab(NewFilesPage(), labels[3]);
  pages_->addTab(PriorsPage(), labels[4]);
  pages_->addTab(PreferencesPage(), labels[5]);

  auto* done = new QPushButton("Done");
  done->setObjectName("done");
  done->setDefault(true);
  auto* cancel = new QPushButton("Cancel");
  cancel->setObjectName("cancel");
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(done);
  buttons->addWidget(cancel);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(top);
  layout->addWidget(pages_, 1);
  layout->addLayout(buttons);

  Fill(OpeningDialogValues(session_.settings, mode));
  sname_->setEnabled(mode == SaveMode::New);
  // Untraining must count an essay as training did.
  const bool rulesFixed = mode == SaveMode::Edit && CountingRulesFixed(session_);
  allSentences_->setEnabled(!rulesFixed);
  minWordLength_->setEnabled(!rulesFixed);
  rulesFixed_->setVisible(rulesFixed);
  pages_->setCurrentIndex(0);

  connect(groupButtons_, &QButtonGroup::idToggled, this, [this](int id, bool on) {
    if (on) SetGroups(id);
  });
  for (int i = 0; i < kDialogGroupRows; ++i)
    connect(priors_[i].edit, &QLineEdit::textChanged, this, [this, i] { PriorChanged(i + 1); });
  connect(common_, &QLineEdit::textChanged, this, [this] { ThresholdChanged(common_, false); });
  connect(rare_, &QLineEdit::textChanged, this, [this] { ThresholdChanged(rare_, false); });
  connect(lowinfo_, &QLineEdit::textChanged, this, [this] { ThresholdChanged(lowinfo_, true); });
  connect(done, &QPushButton::clicked, this, &ProjectDialog::Done);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QLineEdit* ProjectDialog::Edit(const QString& name) {
  auto* edit = new QLineEdit;
  edit->setObjectName(name);
  return edit;
}

QPushButton* ProjectDialog::BrowseButton(QLineEdit* target) {
  auto* button = new QPushButton("Browse");
  button->setObjectName(target->objectName() + "Browse");
  button->setAutoDefault(false);
  connect(button, &QPushButton::clicked, this, [this, target] {
    QString folder = chooseFolder(this, "Select Directory");
    if (folder.isEmpty()) return;
    // Folders are kept with their separator at the end.
    if (!folder.endsWith('/')) folder += '/';
    target->setText(folder);
  });
  // A folder dragged from the file manager fills the field as Browse would.
  AcceptDroppedPaths(
      target, [](const QString& path) { return QFileInfo(path).isDir(); },
      [target](const QString& path) { target->setText(path.endsWith('/') ? path : path + '/'); });
  return button;
}

QWidget* ProjectDialog::DatabasePage() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  auto* program = new QGroupBox("Program");
  auto* programRow = new QHBoxLayout(program);
  // The program radio still stands for the stored name: project files of
  // this program say MSACCESS, and the SQLite file is what that now means.
  sqlite_ = new QRadioButton("SQLite");
  sqlite_->setObjectName("sqlite");
  programRow->addWidget(sqlite_);
  programRow->addStretch(1);
  grid->addWidget(program, 0, 0, 1, 2);
  grid->addWidget(new QLabel("Where do you want to put the database?"), 1, 0, 1, 2);
  root_ = Edit("root");
  grid->addWidget(root_, 2, 0);
  grid->addWidget(BrowseButton(root_), 2, 1);
  // Project files shared with Windows name the folder of MSACCESS.EXE, which
  // compacted the database there; it is kept, but Tarne compacts itself.
  auto* msaLabel = new QLabel(
      "Path to MSAccess.exe (optional; used to compact database)\n"
      "Only for project files shared with Windows: Tarne compacts the "
      "database itself and needs no program here.");
  msaLabel->setWordWrap(true);
  grid->addWidget(msaLabel, 3, 0, 1, 3);
  msa_ = Edit("msa");
  grid->addWidget(msa_, 4, 0);
  grid->addWidget(BrowseButton(msa_), 4, 1);
  auto* find = new QPushButton("Find");
  find->setObjectName("msaFind");
  find->setAutoDefault(false);
  grid->addWidget(find, 4, 2);
  connect(find, &QPushButton::clicked, this, [this] {
    const QString folder = findProgram();
    if (folder.isEmpty())
      session_.Message("MSACCESS.EXE not found", kProgramName, Buttons::Ok, Icon::None);
    else
      msa_->setText(folder);
  });
  grid->setRowStretch(5, 1);
  return page;
}

QWidget* ProjectDialog::FolderRowsPage(const QString& heading, const QString& name,
                                       GroupRow* rows) {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  grid->addWidget(new QLabel(heading), 0, 0, 1, 3);
  for (int g = 1; g <= kDialogGroupRows; ++g) {
    GroupRow& row = rows[g - 1];
    row.label = new QLabel(GroupLabel(g));
    row.edit = Edit(name + QString::number(g));
    row.browse = BrowseButton(row.edit);
    grid->addWidget(row.label, g, 0);
    grid->addWidget(row.edit, g, 1);
    grid->addWidget(row.browse, g, 2);
  }
  grid->setColumnStretch(1, 1);
  grid->setRowStretch(kDialogGroupRows + 1, 1);
  return page;
}

QWidget* ProjectDialog::NewFilesPage() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  grid->addWidget(new QLabel("Location of unclassified, new files"), 0, 0, 1, 2);
  newFolder_ = Edit("newFolder");
  grid->addWidget(newFolder_, 1, 0);
  grid->addWidget(BrowseButton(newFolder_), 1, 1);
  grid->setRowStretch(2, 1);
  return page;
}

QWidget* ProjectDialog::PriorsPage() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  grid->addWidget(new QLabel("Please specify the group membership prior probabilties"), 0, 0, 1,
                  2);
  auto* uniform = new QPushButton(" Set uniform ");
  uniform->setObjectName("setUniform");
  uniform->setAutoDefault(false);
  connect(uniform, &QPushButton::clicked, this, &ProjectDialog::SetUniform);
  grid->addWidget(uniform, 0, 2);
  // A group may have a name ("weak", "strong") that charts and tables show;
  // the reports in the pane keep the group numbers.
  grid->addWidget(new QLabel("Prior"), 1, 1);
  grid->addWidget(new QLabel("Name (optional)"), 1, 2);
  for (int g = 1; g <= kDialogGroupRows; ++g) {
    GroupRow& row = priors_[g - 1];
    row.label = new QLabel(GroupLabel(g));
    row.edit = Edit(QStringLiteral("prior%1").arg(g));
    names_[g - 1] = Edit(QStringLiteral("name%1").arg(g));
    names_[g - 1]->setPlaceholderText(g == 1 ? "e.g. weak" : QString());
    grid->addWidget(row.label, g + 1, 0);
    grid->addWidget(row.edit, g + 1, 1);
    grid->addWidget(names_[g - 1], g + 1, 2);
  }
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(2, 1);
  grid->setRowStretch(kDialogGroupRows + 2, 1);
  return page;
}

QWidget* ProjectDialog::PreferencesPage() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  grid->addWidget(new QLabel("Please define the following values"), 0, 0, 1, 2);
  auto* defaults = new QPushButton(" Use Defaults ");
  defaults->setObjectName("useDefaults");
  defaults->setAutoDefault(false);
  connect(defaults, &QPushButton::clicked, this, &ProjectDialog::UseDefaults);
  grid->addWidget(defaults, 0, 2);
  common_ = Edit("common");
  rare_ = Edit("rare");
  lowinfo_ = Edit("lowinfo");
  grid->addWidget(new QLabel("Common Token"), 1, 0);
  grid->addWidget(common_, 1, 1);
  grid->addWidget(new QLabel("Rare Token"), 2, 0);
  grid->addWidget(rare_, 2, 1);
  grid->addWidget(new QLabel("Low Information"), 3, 0);
  grid->addWidget(lowinfo_, 3, 1);

  // How essays are counted; the classic rules unless the user asks.
  auto* rules = new QGroupBox("Counting rules");
  auto* rulesGrid = new QGridLayout(rules);
  auto note = [](const QString& text) {
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    return label;
  };
  allSentences_ = new QCheckBox("Count every sentence");
  allSentences_->setObjectName("allSentences");
  rulesGrid->addWidget(allSentences_, 0, 0, 1, 2);
  rulesGrid->addWidget(note("A sentence without two words to count (\"Mr.\", \"e.g.\") is "
                            "skipped; unticked, it ends the essay as it always has."),
                       1, 0, 1, 2);
  rulesGrid->addWidget(new QLabel("Shortest word"), 2, 0);
  minWordLength_ = new QComboBox;
  minWordLength_->setObjectName("minWordLength");
  minWordLength_->addItem("4 letters (classic)", 4);
  minWordLength_->addItem("3 letters", 3);
  minWordLength_->addItem("2 letters", 2);
  rulesGrid->addWidget(minWordLength_, 2, 1);
  rulesGrid->addWidget(note("Shorter words are not counted; 2 also counts words such as "
                            "\"is\" and \"we\". Both classified better on real essays."),
                       3, 0, 1, 2);
  rulesFixed_ = note("Fixed while the database holds trained essays: erase them first "
                     "(Options > Erase Words) to change the rules.");
  rulesFixed_->setObjectName("rulesFixed");
  rulesGrid->addWidget(rulesFixed_, 4, 0, 1, 2);
  rulesGrid->setColumnStretch(1, 1);
  grid->addWidget(rules, 4, 0, 1, 3);
  grid->setColumnStretch(1, 1);
  grid->setRowStretch(5, 1);
  return page;
}

void ProjectDialog::Fill(const ProjectDialogValues& v) {
  // The opening values are the project's own; they are shown as they are,
  // not run through the typing rules (which could warn about a stored file).
  filtering_ = true;
  sname_->setText(ToQ(v.sname));
  sqlite_->setChecked(v.dbprogram == "MSACCESS");
  if (v.dbprogram != "MSACCESS") otherProgram_ = v.dbprogram;
  root_->setText(ToQ(v.root));
  msa_->setText(ToQ(v.msa));
  newFolder_->setText(ToQ(v.newFolder));
  for (int i = 0; i < kDialogGroupRows; ++i) {
    const auto at = static_cast<std::size_t>(i);
    train_[i].edit->setText(ToQ(at < v.train.size() ? v.train[at] : std::string()));
    trial_[i].edit->setText(ToQ(at < v.trial.size() ? v.trial[at] : std::string()));
    priors_[i].edit->setText(ToQ(at < v.priors.size() ? v.priors[at] : std::string()));
    names_[i]->setText(ToQ(at < v.groupNames.size() ? v.groupNames[at] : std::string()));
  }
  common_->setText(ToQ(v.common));
  rare_->setText(ToQ(v.rare));
  lowinfo_->setText(ToQ(v.lowinfo));
  allSentences_->setChecked(v.rules.allSentences);
  const int length = minWordLength_->findData(v.rules.minWordLength);
  minWordLength_->setCurrentIndex(length >= 0 ? length : 0);
  filtering_ = false;
  groupButtons_->button(v.groups)->setChecked(true);
  SetGroups(v.groups);
}

void ProjectDialog::SetGroups(int groups) {
  groups_ = groups;
  for (int g = 1; g <= kDialogGroupRows; ++g) {
    const bool shown = GroupRowShown(g, groups);
    for (GroupRow* rows : {train_, trial_, priors_}) {
      GroupRow& row = rows[g - 1];
      row.label->setVisible(shown);
      row.edit->setVisible(shown);
      if (row.browse) row.browse->setVisible(shown);
    }
    names_[g - 1]->setVisible(shown);
  }
}

void ProjectDialog::PriorChanged(int g) {
  if (filtering_ || g > groups_) return;
  std::vector<std::string> texts;
  for (int i = 0; i < groups_; ++i) texts.push_back(ToStd(priors_[i].edit->text()));
  const bool warn = FilterPriorField(texts, g);
  // The rule has already followed its own changes to the end; the edits only
  // take the result.
  filtering_ = true;
  for (int i = 0; i < groups_; ++i) ReplaceText(priors_[i].edit, texts[static_cast<std::size_t>(i)]);
  filtering_ = false;
  if (warn)
    session_.Message("The priors must be positive, < 1.0, and sum to 1.0", "Set priors",
                     Buttons::Ok, Icon::None);
}

void ProjectDialog::ThresholdChanged(QLineEdit* edit, bool lowInfo) {
  if (filtering_) return;
  filtering_ = true;
  ReplaceText(edit, FilterThresholdField(ToStd(edit->text()), lowInfo));
  filtering_ = false;
}

void ProjectDialog::SetUniform() {
  // Every text is a valid prior and the last one is set last, so the prior
  // rule would end where this does; running it on the way could only warn
  // about the old values.
  filtering_ = true;
  for (int i = 0; i < groups_; ++i) priors_[i].edit->setText(ToQ(UniformPriorText(groups_)));
  filtering_ = false;
}

void ProjectDialog::UseDefaults() {
  ProjectDialogValues v;
  UseDefaultThresholds(v);
  common_->setText(ToQ(v.common));
  rare_->setText(ToQ(v.rare));
  lowinfo_->setText(ToQ(v.lowinfo));
}

ProjectDialogValues ProjectDialog::CurrentValues() const {
  ProjectDialogValues v;
  v.groups = groups_;
  v.sname = ToStd(sname_->text());
  v.dbprogram = sqlite_->isChecked() ? std::string("MSACCESS") : otherProgram_;
  v.root = ToStd(root_->text());
  v.msa = ToStd(msa_->text());
  v.newFolder = ToStd(newFolder_->text());
  v.common = ToStd(common_->text());
  v.rare = ToStd(rare_->text());
  v.lowinfo = ToStd(lowinfo_->text());
  v.rules.allSentences = allSentences_->isChecked();
  v.rules.minWordLength = minWordLength_->currentData().toInt();
  for (int i = 0; i < kDialogGroupRows; ++i) {
    v.train.push_back(ToStd(train_[i].edit->text()));
    v.trial.push_back(ToStd(trial_[i].edit->text()));
    v.priors.push_back(ToStd(priors_[i].edit->text()));
    v.groupNames.push_back(ToStd(names_[i]->text()));
  }
  return v;
}

void ProjectDialog::Done() {
  ProjectDialogValues v = CurrentValues();
  const bool saved = SaveProject(session_, v, mode_);
  // Saving may have erased a program folder that does not hold the program.
  msa_->setText(ToQ(v.msa));
  if (saved) accept();
}

}  // namespace tarne::desktop
