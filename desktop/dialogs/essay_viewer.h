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
  explicit EssayViewerWindow(const std::string& path);
};

}  // namespace tarne::desktop
