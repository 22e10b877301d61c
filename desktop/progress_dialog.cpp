#include "progress_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarne::desktop {

ProgressDialog::ProgressDialog(QWidget* parent, const QString& caption)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint |
                          Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint) {
  setObjectName("progress");
  setWindowTitle(caption);
  setModal(false);
  status_ = new QLabel(this);
  status_->setMinimumWidth(300);
  status_->setTextFormat(Qt::PlainText);
  bar_ = new QProgressBar(this);
  bar_->setRange(0, 100);
  bar_->setValue(0);
  bar_->setTextVisible(false);
  cancel_ = new QPushButton(tr("&Cancel"), this);
  cancel_->setAutoDefault(false);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cancel_);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(36, 12, 36, 12);
  layout->addWidget(status_);
  layout->addWidget(bar_);
  layout->addSpacing(8);
  layout->addLayout(buttons);
  connect(cancel_, &QPushButton::clicked, this, &ProgressDialog::cancelPressed);
}

void ProgressDialog::SetPosition(int percent) { bar_->setValue(percent); }
int ProgressDialog::Position() const { return bar_->value(); }
void ProgressDialog::SetStatus(const QString& text) { status_->setText(text); }
QString ProgressDialog::Status() const { return status_->text(); }

}  // namespace tarne::desktop
