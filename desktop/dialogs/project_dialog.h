// The project dialog: New Project and Edit Project.
#pragma once

#include <QDialog>
#include <functional>

#include "project/save_project.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace tarne {
struct Session;
}

namespace tarne::desktop {

class ProjectDialog : public QDialog {
  Q_OBJECT

 public:
  ProjectDialog(QWidget* parent, Session& session, SaveMode mode);

  // The folder picker behind every Browse button: answers the chosen folder,
  // or an empty text when the user cancelled.  Tests replace it.
  std::function<QString(QWidget* parent, const QString& title)> chooseFolder;
  // The Find button's search for MSACCESS.EXE: answers its folder or "".
  std::function<QString()> findProgram;

  int Groups() const { return groups_; }
  // The values the edits hold now, as Done hands them to saving.
  ProjectDialogValues CurrentValues() const;

 private:
  struct GroupRow {
    QLabel* label = nullptr;
    QLineEdit* edit = nullptr;
    QPushButton* browse = nullptr;
  };

  QWidget* DatabasePage();
  QWidget* FolderRowsPage(const QString& heading, const QString& name, GroupRow* rows);
  QWidget* NewFilesPage();
  QWidget* PriorsPage();
  QWidget* PreferencesPage();
  QPushButton* BrowseButton(QLineEdit* target);
  QLineEdit* Edit(const QString& name);

  void Fill(const ProjectDialogValues& values);
  void SetGroups(int groups);
  void PriorChanged(int g);
  void ThresholdChanged(QLineEdit* edit, bool lowInfo);
  void SetUniform();
  void UseDefaults();
  void Done();

  Session& session_;
  SaveMode mode_;
  int groups_ = 2;
  std::string otherProgram_;  // a program the radio does not offer, kept as loaded
  bool filtering_ = false;    // the edits' rules are changing the texts themselves

  QLineEdit* sname_ = nullptr;
  QButtonGroup* groupButtons_ = nullptr;
  QTabWidget* pages_ = nullptr;
  QRadioButton* sqlite_ = nullptr;
  QLineEdit* root_ = nullptr;
  QLineEdit* msa_ = nullptr;
  QLineEdit* newFolder_ = nullptr;
  QLineEdit* common_ = nullptr;
  QLineEdit* rare_ = nullptr;
  QLineEdit* lowinfo_ = nullptr;
  QCheckBox* allSentences_ = nullptr;
  QComboBox* minWordLength_ = nullptr;
  QLabel* rulesFixed_ = nullptr;
  GroupRow train_[5], trial_[5], priors_[5];
  QLineEdit* names_[5] = {};
};

}  // namespace tarne::desktop
