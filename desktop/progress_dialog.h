// The small modeless progress window of a long operation: caption, one line
// of status text, a percentage bar and Cancel.
#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace tarne::desktop {

class ProgressDialog : public QDialog {
  Q_OBJECT
 public:
  ProgressDialog(QWidget* parent, const QString& caption);
  void SetPosition(int percent);
  int Position() const;
  void SetStatus(const QString& text);
  QString Status() const;
  QPushButton* CancelButton() const { return cancel_; }

 signals:
  void cancelPressed();

 private:
  QLabel* status_;
  QProgressBar* bar_;
  QPushButton* cancel_;
};

}  // namespace tarne::desktop
