// A read-only window showing one essay file, for when the desktop has no
// viewer of its own to open it.
#pragma once

#include <QWidget>
#include <string>

namespace tarne::desktop {

class EssayViewerWindow : public QWidget {
  Q_OBJECT

 public:
  // A top-level window that deletes itself when closed.
  // Escape closes it.
  explicit EssayViewerWindow(const std::string& path);
  // Centres it over the main window that anchor belongs to (the screen's
  // centre without one), inside the screen.
  void PlaceOver(QWidget* anchor);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace tarne::desktop
