// What the desktop program remembers between runs: the window's place, the
// pane's font, the folders last used in file dialogs and the scoring options.
// Kept in desktop.conf in Tarne's configuration folder (beside tarne.ini),
// so a test's temporary folder keeps them away from the user's.
#pragma once

#include <QByteArray>
#include <QFont>
#include <QString>
#include <optional>
#include <string>

#include "project/scoring_options.h"

namespace tarne::desktop {

class RememberedSettings {
 public:
  explicit RememberedSettings(const std::string& configFolder);

  QByteArray WindowGeometry() const;
  void SetWindowGeometry(const QByteArray& geometry);
  std::optional<QFont> PaneFont() const;
  void SetPaneFont(const QFont& font);
  // kind: "open", "save", "project"; empty when none was used yet.
  QString LastFolder(const QString& kind) const;
  void SetLastFolder(const QString& kind, const QString& fileOrFolder);
  // Fills the options that were saved; the one-essay text is never kept.
  void LoadScoringOptions(ScoringOptions& options) const;
  void SaveScoringOptions(const ScoringOptions& options);

 private:
  QString file_;
};

}  // namespace tarne::desktop
