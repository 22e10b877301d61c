// File > Import Essays: the choices of `tarne-cli import` in one dialog.  The
// columns are offered from the chosen file's header row.
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>

#include "dialogs.h"
#include "import/import_essays.h"
#include "import/spreadsheet.h"
#include "project/save_project.h"
#include "shell/file_bytes.h"

namespace tarne::desktop {

namespace {

QComboBox* ColumnBox(QWidget* parent, const char* name) {
  auto* box = new QComboBox(parent);
  box->setObjectName(name);
  box->setEditable(true);
  return box;
}

}  // namespace

bool RunImportDialog(QWidget* parent, ImportOptions& options, ProjectDialogValues& project) {
  QDialog dialog(parent);
  dialog.setWindowTitle(QObject::tr("Import Essays"));
  auto* form = new QFormLayout(&dialog);

  auto* file = new QLineEdit(&dialog);
  file->setObjectName("file");
  auto* browse = new QPushButton(QObject::tr("Browse..."), &dialog);
  auto* fileRow = new QHBoxLayout;
  fileRow->addWidget(file);
  fileRow->addWidget(browse);
  form->addRow(QObject::tr("Spreadsheet (CSV or tab-separated)"), fileRow);
  auto* text = ColumnBox(&dialog, "text");
  auto* score = ColumnBox(&dialog, "score");
  auto* id = ColumnBox(&dialog, "id");
  auto* whereColumn = ColumnBox(&dialog, "whereColumn");
  auto* whereValue = new QLineEdit(&dialog);
  form->addRow(QObject::tr("Text column"), text);
  form->addRow(QObject::tr("Score column"), score);
  form->addRow(QObject::tr("Id column (file names)"), id);
  auto* whereRow = new QHBoxLayout;
  whereRow->addWidget(whereColumn);
  whereRow->addWidget(whereValue);
  form->addRow(QObject::tr("Only rows where column ="), whereRow);
  auto* groups = new QLineEdit(&dialog);
  groups->setObjectName("groups");
  groups->setPlaceholderText(QObject::tr("score ranges, e.g. 2-7,8,9,10,11-12"));
  auto* quantiles = new QSpinBox(&dialog);
  quantiles->setRange(2, 5);
  quantiles->setValue(4);
  form->addRow(QObject::tr("Groups"), groups);
  form->addRow(QObject::tr("...or equal-sized groups"), quantiles);
  auto* trial = new QDoubleSpinBox(&dialog);
  trial->setRange(0, 0.9);
  trial->setSingleStep(0.05);
  trial->setValue(0.2);
  auto* seed = new QSpinBox(&dialog);
  seed->setRange(0, 999999999);
  seed->setValue(1);
  form->addRow(QObject::tr("Trial share"), trial);
  form->addRow(QObject::tr("Seed"), seed);
  auto* name = new QLineEdit(&dialog);
  name->setObjectName("name");
  auto* root = new QLineEdit(&dialog);
  root->setObjectName("root");
  auto* pick = new QPushButton(QObject::tr("Browse..."), &dialog);
  auto* rootRow = new QHBoxLayout;
  rootRow->addWidget(root);
  rootRow->addWidget(pick);
  form->addRow(QObject::tr("Project short name"), name);
  form->addRow(QObject::tr("Project and essay folder"), rootRow);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  buttons->button(QDialogButtonBox::Ok)->setText(QObject::tr("Import"));
  form->addRow(buttons);

  auto fillColumns = [&](const QString& path) {
    std::string bytes, why;
    Spreadsheet sheet;
    if (!ReadFileBytes(path.toStdString(), bytes) || !ParseSpreadsheet(bytes, sheet, why)) return;
    for (QComboBox* box : {text, score, id, whereColumn}) {
      box->clear();
      if (box == id || box == whereColumn) box->addItem(QString());
      for (const std::string& h : sheet.header) box->addItem(QString::fromStdString(h));
    }
  };
  QObject::connect(browse, &QPushButton::clicked, &dialog, [&] {
    const QString path = QFileDialog::getOpenFileName(
        &dialog, QObject::tr("Import Essays"), {},
        QObject::tr("Spreadsheets (*.csv *.tsv *.txt *.tab);;All Files (*)"));
    if (path.isEmpty()) return;
    file->setText(path);
    fillColumns(path);
  });
  QObject::connect(file, &QLineEdit::editingFinished, &dialog, [&] { fillColumns(file->text()); });
  QObject::connect(pick, &QPushButton::clicked, &dialog, [&] {
    const QString folder = QFileDialog::getExistingDirectory(&dialog, QObject::tr("Project folder"));
    if (!folder.isEmpty()) root->setText(folder);
  });
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
    if (file->text().isEmpty() || name->text().isEmpty() || root->text().isEmpty() ||
        text->currentText().isEmpty() || score->currentText().isEmpty()) {
      QMessageBox::warning(&dialog, "Tarne",
                           QObject::tr("Give the file, the text and score columns, the short "
                                       "name and the folder."));
      return;
    }
    dialog.accept();
  });
  if (dialog.exec() != QDialog::Accepted) return false;

  options = ImportOptions();
  options.file = file->text().toStdString();
  options.root = root->text().toStdString();
  if (options.root.back() != '/') options.root += '/';
  options.textColumn = text->currentText().toStdString();
  options.scoreColumn = score->currentText().toStdString();
  options.idColumn = id->currentText().toStdString();
  options.whereColumn = whereColumn->currentText().toStdString();
  options.whereValue = whereValue->text().toStdString();
  options.groups = groups->text().trimmed().toStdString();
  options.quantiles = options.groups.empty() ? quantiles->value() : 0;
  options.trialShare = trial->value();
  options.seed = static_cast<std::uint32_t>(seed->value());
  project = ProjectDialogValues();
  project.sname = name->text().toStdString();
  project.root = options.root;
  return true;
}

}  // namespace tarne::desktop
