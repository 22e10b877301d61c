#include "remembered_settings.h"

#include <QFileInfo>
#include <QSettings>
#include <utility>

namespace tarne::desktop {

namespace {

// The integer options under their own names.
const std::pair<const char*, int ScoringOptions::*> kIntOptions[] = {
    {"What", &ScoringOptions::What},
    {"Model", &ScoringOptions::Model},
    {"Stemmed", &ScoringOptions::Stemmed},
    {"IncludeStopWords", &ScoringOptions::IncludeStopWords},
    {"IncludeCommon", &ScoringOptions::IncludeCommon},
    {"IncludeRare", &ScoringOptions::IncludeRare},
    {"IncludeLowInfo", &ScoringOptions::IncludeLowInfo},
    {"CodeWords", &ScoringOptions::CodeWords},
    {"CodePhrases", &ScoringOptions::CodePhrases},
    {"CodeArguments", &ScoringOptions::CodeArguments},
    {"ShowErrors", &ScoringOptions::ShowErrors},
    {"LogAll", &ScoringOptions::LogAll},
    {"PriorsFromTraining", &ScoringOptions::PriorsFromTraining},
    {"StopWordsOnly", &ScoringOptions::StopWordsOnly},
};

}  // namespace

RememberedSettings::RememberedSettings(const std::string& configFolder)
    : file_(QString::fromStdString(configFolder) + "desktop.conf") {}

QByteArray RememberedSettings::WindowGeometry() const {
  return QSettings(file_, QSettings::IniFormat).value("window/geometry").toByteArray();
}

void RememberedSettings::SetWindowGeometry(const QByteArray& geometry) {
  QSettings(file_, QSettings::IniFormat).setValue("window/geometry", geometry);
}

std::optional<QFont> RememberedSettings::PaneFont() const {
  const QString text = QSettings(file_, QSettings::IniFormat).value("pane/font").toString();
  QFont font;
  if (text.isEmpty() || !font.fromString(text)) return std::nullopt;
  return font;
}

void RememberedSettings::SetPaneFont(const QFont& font) {
  QSettings(file_, QSettings::IniFormat).setValue("pane/font", font.toString());
}

QString RememberedSettings::LastFolder(const QString& kind) const {
  return QSettings(file_, QSettings::IniFormat).value("folders/" + kind).toString();
}

void RememberedSettings::SetLastFolder(const QString& kind, const QString& fileOrFolder) {
  if (fileOrFolder.isEmpty()) return;
  const QFileInfo info(fileOrFolder);
  const QString folder = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
  QSettings(file_, QSettings::IniFormat).setValue("folders/" + kind, folder);
}

void RememberedSettings::LoadScoringOptions(ScoringOptions& options) const {
  QSettings s(file_, QSettings::IniFormat);
  s.beginGroup("scoring");
  for (auto [key, field] : kIntOptions) {
    bool ok = false;
    const int value = s.value(key).toInt(&ok);
    if (ok) options.*field = value;
  }
  bool ok = false;
  const double alpha = s.value("Alpha").toDouble(&ok);
  // A smoothing of 0 or less would divide by zero for unseen tokens.
  if (ok && alpha > 0) options.Alpha = alpha;
}

void RememberedSettings::SaveScoringOptions(const ScoringOptions& options) {
  QSettings s(file_, QSettings::IniFormat);
  s.beginGroup("scoring");
  for (auto [key, field] : kIntOptions) s.setValue(key, options.*field);
  s.setValue("Alpha", options.Alpha);
}

}  // namespace tarne::desktop
