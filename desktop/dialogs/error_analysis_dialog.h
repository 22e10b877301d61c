// The list of misclassified essays after a scoring run: view them, and after
// a Train run choose the ones to take out of training.
#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "shell/port.h"

class QCheckBox;
class QTableWidget;

namespace tarne::desktop {

class ErrorAnalysisDialog : public QDialog {
  Q_OBJECT

 public:
  // what: 2 Train run (check boxes and Untrain), otherwise a Trial run (Ok only).
  ErrorAnalysisDialog(QWidget* parent, const std::vector<ErrorEntry>& errors, int groups,
                      int what, const std::vector<std::string>& groupNames = {});

  // Tells the user something (the dialog stays open).  Tests replace it.
  std::function<void(const QString& text)> tell;
  // Opens an essay whose path was clicked.  Tests replace it.
  std::function<void(const std::string& path)> openEssay;

  // After Untrain (result 1): the chosen essays as the flagged-file list.
  const std::vector<std::string>& Flagged() const { return flagged_; }
  bool IsTicked(int line) const;
  void SetTicked(int line, bool ticked);
  QTableWidget* List() const { return list_; }

 protected:
  // Space ticks the list's current line, Enter views its essay.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Untrain();

  std::vector<ErrorEntry> errors_;
  bool choosing_;
  int pathColumn_;
  QTableWidget* list_ = nullptr;
  QCheckBox* selectAll_ = nullptr;
  std::vector<std::string> flagged_;
};

}  // namespace tarne::desktop
