#include "scoring_options_dialog.h"

#include <algorithm>

#include <QButtonGroup>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

#include "path_drops.h"
#include "project/session.h"
#include "qt_text.h"

namespace tarne::desktop {

namespace {

QLabel* BoldLabel(const QString& text) {
  auto* label = new QLabel(text);
  QFont font = label->font();
  font.setBold(true);
  label->setFont(font);
  return label;
}

void MakeBold(QWidget* widget) {
  QFont font = widget->font();
  font.setBold(true);
  widget->setFont(font);
}

QRadioButton* Option(QButtonGroup* group, int id, const QString& text, const QString& name) {
  auto* radio = new QRadioButton(text);
  radio->setObjectName(name);
  group->addButton(radio, id);
  return radio;
}

}  // namespace

QCheckBox* ScoringOptionsDialog::Box(const QString& text, const QString& name) {
  auto* box = new QCheckBox(text);
  box->setObjectName(name);
  return box;
}

ScoringOptionsDialog::ScoringOptionsDialog(QWidget* parent, Session& session,
                                           ScoringDialogMemory& memory)
    : QDialog(parent), rules_(session.options, session.settings.sname, memory), session_(session) {
  setObjectName("scoringOptionsDialog");
  setWindowTitle("Scoring and Recalculation Options");

  what_ = new QButtonGroup(this);
  model_ = new QButtonGroup(this);
  auto* grid = new QGridLayout;
  grid->addWidget(BoldLabel("What"), 0, 0);
  auto* whatRow = new QHBoxLayout;
  whatRow->addWidget(Option(what_, 1, "Trial", "what1"));
  whatRow->addWidget(Option(what_, 2, "Train", "what2"));
  whatRow->addWidget(Option(what_, 3, "New", "what3"));
  whatRow->addWidget(Option(what_, 4, "One", "what4"));
  whatRow->addStretch(1);
  grid->addLayout(whatRow, 0, 1, 1, 2);

  grid->addWidget(BoldLabel("Model"), 1, 0);
  auto* modelRow = new QHBoxLayout;
  modelRow->addWidget(Option(model_, 1, "Multinomial", "multinomial"));
  modelRow->addWidget(Option(model_, 2, "Bernoulli", "bernoulli"));
  modelRow->addStretch(1);
  grid->addLayout(modelRow, 1, 1);
  stemmed_ = Box("Stemmed", "stemmed");
  grid->addWidget(stemmed_, 1, 2);

  // The frame holds what recalculation depends on.
  auto* frame = new QFrame;
  frame->setFrameShape(QFrame::StyledPanel);
  auto* inner = new QGridLayout(frame);
  stopWords_ = Box("Stop Words", "stopWords");
  common_ = Box("Common Tokens", "common");
  rare_ = Box("Rare Tokens", "rare");
  lowInfo_ = Box("Low Info Tokens", "lowInfo");
  words_ = Box("Words", "words");
  phrases_ = Box("Phrases", "phrases");
  arguments_ = Box("Arguments", "arguments");
  inner->addWidget(BoldLabel("Include"), 0, 0);
  inner->addWidget(stopWords_, 0, 1);
  inner->addWidget(common_, 0, 2, 1, 2);
  inner->addWidget(rare_, 1, 1);
  inner->addWidget(lowInfo_, 1, 2, 1, 2);
  inner->addWidget(BoldLabel("Code"), 2, 0);
  inner->addWidget(words_, 2, 1);
  inner->addWidget(phrases_, 2, 2);
  inner->addWidget(arguments_, 2, 3);
  // Model settings: none needs retraining, and their first values give the
  // classic probabilities.
  stopWordsOnly_ = Box("Stop Words Only", "stopWordsOnly");
  stopWordsOnly_->setToolTip("Only the function words of the stop list take part");
  priorsFromTraining_ = Box("Priors from Training", "priorsFromTraining");
  priorsFromTraining_->setToolTip(
      "Priors in proportion to the essays trained per group, instead of the project's");
  alpha_ = new QLineEdit;
  alpha_->setObjectName("alpha");
  alpha_->setMaximumWidth(alpha_->fontMetrics().horizontalAdvance("0.0000") + 16);
  alpha_->setToolTip("The smoothing of either model: 1 is the classic add-one; 0.1 classified "
                     "best with Bernoulli");
  auto* alphaRow = new QHBoxLayout;
  alphaRow->addWidget(new QLabel("Smoothing"));
  alphaRow->addWidget(alpha_);
  alphaRow->addStretch(1);
  inner->addWidget(BoldLabel("Settings"), 3, 0);
  inner->addLayout(alphaRow, 3, 1);
  inner->addWidget(priorsFromTraining_, 3, 2);
  inner->addWidget(stopWordsOnly_, 3, 3);
  inner->setColumnStretch(4, 1);
  grid->addWidget(frame, 2, 0, 1, 3);

  grid->addWidget(BoldLabel("Options"), 3, 0);
  showErrors_ = Box("Show Errors", "showErrors");
  log_ = Box(QString(), "log");
  // The label grows by "new" when New is chosen; room for it is kept from the start.
  log_->setText(ToQ("Log all in " + session.settings.sname + "new.csv"));
  log_->setMinimumWidth(log_->sizeHint().width());
  grid->addWidget(showErrors_, 3, 1);
  grid->addWidget(log_, 3, 2);
  grid->setColumnStretch(2, 1);

  auto* note = BoldLabel(
      "If you change an option within the frame, Tarne will recalculate the database "
      "probabilities before scoring.");
  note->setWordWrap(true);

  auto* score = new QPushButton("Score");
  score->setObjectName("score");
  score->setDefault(true);
  MakeBold(score);
  auto* cancel = new QPushButton("Cancel");
  cancel->setObjectName("cancel");
  MakeBold(cancel);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(score);
  buttons->addSpacing(24);
  buttons->addWidget(cancel);
  buttons->addStretch(1);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(note);
  layout->addLayout(buttons);

  // Its close box only hides it: the rules still count it open, Score still
  // takes its text, and One shows it again.
  oneWindow_ = new QWidget(this, Qt::Window);
  oneWindow_->setObjectName("oneEssayWindow");
  oneWindow_->setWindowTitle("Put the one essay here.");
  oneText_ = new QPlainTextEdit;
  oneText_->setObjectName("oneEssayText");
  oneText_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  auto* oneLayout = new QVBoxLayout(oneWindow_);
  oneLayout->setContentsMargins(0, 0, 0, 0);
  oneLayout->addWidget(oneText_);
  oneWindow_->resize(400, 290);
  // A text file dropped on the window becomes the essay; Undo brings back
  // what was there before.
  AcceptDroppedPaths(
      oneText_->viewport(), [](const QString& path) { return QFileInfo(path).isFile(); },
      [this](const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
          session_.Message("Could not read file " + ToStd(path), kProgramName, Buttons::Ok,
                           Icon::Exclamation);
          return;
        }
        QTextCursor all(oneText_->document());
        all.select(QTextCursor::Document);
        all.insertText(DecodeForDisplay(file.readAll().toStdString()));
        oneText_->setTextCursor(all);
      });

  connect(what_, &QButtonGroup::idClicked, this, [this](int id) {
    rules_.ClickWhat(id);
    Mirror();
  });
  connect(model_, &QButtonGroup::idClicked, this, [this](int id) {
    rules_.ClickModel(id);
    Mirror();
  });
  connect(stemmed_, &QCheckBox::clicked, this, [this](bool on) {
    rules_.SetStemmed(on);
    Mirror();
  });
  connect(stopWordsOnly_, &QCheckBox::clicked, this, [this](bool on) {
    rules_.SetStopWordsOnly(on);
    Mirror();
  });
  connect(alpha_, &QLineEdit::textEdited, this, [this](const QString& text) {
    rules_.SetAlphaText(ToStd(text));
    Mirror();
  });
  connect(showErrors_, &QCheckBox::clicked, this, [this] {
    rules_.ClickShowErrors();
    Mirror();
  });
  connect(log_, &QCheckBox::clicked, this, [this] {
    rules_.ClickLog();
    Mirror();
  });
  const std::pair<QCheckBox*, bool ScoringDialogRules::*> plain[] = {
      {priorsFromTraining_, &ScoringDialogRules::priorsFromTraining},
      {stopWords_, &ScoringDialogRules::stopWords}, {common_, &ScoringDialogRules::common},
      {rare_, &ScoringDialogRules::rare},           {lowInfo_, &ScoringDialogRules::lowInfo},
      {words_, &ScoringDialogRules::words},         {phrases_, &ScoringDialogRules::phrases},
      {arguments_, &ScoringDialogRules::arguments}};
  for (auto [box, field] : plain)
    connect(box, &QCheckBox::clicked, this, [this, field](bool on) { rules_.*field = on; });
  connect(oneText_, &QPlainTextEdit::textChanged, this,
          [this] { rules_.SetOneEssayText(ToStd(oneText_->toPlainText())); });
  connect(score, &QPushButton::clicked, this, &ScoringOptionsDialog::Score);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  Mirror();
}

void ScoringOptionsDialog::Mirror() {
  const ScoringDialogRules& r = rules_;
  what_->button(r.what)->setChecked(true);
  model_->button(r.multinomial ? 1 : 2)->setChecked(true);
  const std::pair<QCheckBox*, bool> ticks[] = {
      {stemmed_, r.stemmed}, {stopWords_, r.stopWords}, {common_, r.common},
      {rare_, r.rare},       {lowInfo_, r.lowInfo},     {words_, r.words},
      {phrases_, r.phrases}, {arguments_, r.arguments}, {showErrors_, r.showErrors},
      {log_, r.logBox}, {stopWordsOnly_, r.stopWordsOnly},
      {priorsFromTraining_, r.priorsFromTraining}};
  for (auto [box, on] : ticks) box->setChecked(on);
  stopWords_->setEnabled(r.stopWordsEnabled);
  stemmed_->setEnabled(r.stemmedEnabled);
  stopWordsOnly_->setEnabled(r.stopWordsOnlyEnabled);
  if (alpha_->text() != ToQ(r.alphaText)) {
    // The filtered text, with the caret where the user was typing.
    const int caret = alpha_->cursorPosition();
    alpha_->setText(ToQ(r.alphaText));
    alpha_->setCursorPosition(std::min(caret, static_cast<int>(alpha_->text().size())));
  }
  showErrors_->setEnabled(r.showErrorsEnabled);
  log_->setEnabled(r.logEnabled);
  log_->setText(ToQ(r.logLabel));

  if (!r.oneWindowOpen) {
    if (!oneText_->toPlainText().isEmpty()) {
      const QSignalBlocker quiet(oneText_);
      oneText_->clear();
    }
    oneWindow_->hide();
  } else if (isVisible() && !oneWindow_->isVisible()) {
    if (!oneWindowPlaced_) {
      // Beneath the options, as wide as they are.
      const QRect frame = frameGeometry();
      oneWindow_->move(frame.left(), frame.bottom() + 1);
      oneWindow_->resize(std::max(width(), 300), oneWindow_->height());
      oneWindowPlaced_ = true;
    }
    oneWindow_->show();
    oneWindow_->activateWindow();
    oneText_->setFocus();
  }
}

void ScoringOptionsDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Opening over What = One opens the essay window with the dialog.
  Mirror();
  // The dialog takes the activation as it opens; the essay window takes it
  // back once that is done, so typing goes into the essay.
  QTimer::singleShot(0, this, [this] {
    if (!rules_.oneWindowOpen || !oneWindow_->isVisible()) return;
    oneWindow_->activateWindow();
    oneText_->setFocus();
  });
}

void ScoringOptionsDialog::hideEvent(QHideEvent* event) {
  // The essay window belongs to the dialog and goes with it.
  oneWindow_->hide();
  QDialog::hideEvent(event);
}

void ScoringOptionsDialog::Score() {
  if (rules_.oneWindowOpen) rules_.SetOneEssayText(ToStd(oneText_->toPlainText()));
  rules_.Score();
  accept();
}

}  // namespace tarne::desktop
