// The "Scoring and Recalculation Options" dialog and its one-essay window.
#pragma once

#include <QDialog>

#include "scoring/options_rules.h"

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QPlainTextEdit;

namespace tarne {
struct Session;
}

namespace tarne::desktop {

class ScoringOptionsDialog : public QDialog {
  Q_OBJECT

 public:
  ScoringOptionsDialog(QWidget* parent, Session& session, ScoringDialogMemory& memory);

  const ScoringDialogRules& Rules() const { return rules_; }
  // The one-essay window (it exists for the dialog's whole life and is shown
  // while the rules hold it open).
  QWidget* OneEssayWindow() const { return oneWindow_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  QCheckBox* Box(const QString& text, const QString& name);
  // Shows the rules' state in the widgets.
  void Mirror();
  void Score();

  ScoringDialogRules rules_;
  Session& session_;
  QButtonGroup* what_ = nullptr;
  QButtonGroup* model_ = nullptr;
  QCheckBox *stemmed_, *stopWords_, *common_, *rare_, *lowInfo_;
  QCheckBox *words_, *phrases_, *arguments_, *showErrors_, *log_;
  QCheckBox *stopWordsOnly_, *priorsFromTraining_;
  QLineEdit* alpha_ = nullptr;
  QWidget* oneWindow_ = nullptr;
  QPlainTextEdit* oneText_ = nullptr;
  bool oneWindowPlaced_ = false;
};

}  // namespace tarne::desktop
