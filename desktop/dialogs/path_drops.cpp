#include "path_drops.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace tarne::desktop {

namespace {

class PathDropFilter : public QObject {
 public:
  PathDropFilter(QWidget* widget, std::function<bool(const QString&)> wanted,
                 std::function<void(const QString&)> take)
      : QObject(widget), wanted_(std::move(wanted)), take_(std::move(take)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::DragEnter:
      case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (!Wanted(drag->mimeData())) return false;
        drag->acceptProposedAction();
        return true;
      }
      case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (!Wanted(drop->mimeData())) return false;
        drop->acceptProposedAction();
        take_(DroppedPath(drop->mimeData()));
        return true;
      }
      default:
        return QObject::eventFilter(watched, event);
    }
  }

 private:
  bool Wanted(const QMimeData* mime) const {
    const QString path = DroppedPath(mime);
    return !path.isEmpty() && wanted_(path);
  }

  std::function<bool(const QString&)> wanted_;
  std::function<void(const QString&)> take_;
};

}  // namespace

QString DroppedPath(const QMimeData* mime) {
  if (!mime || !mime->hasUrls() || mime->urls().isEmpty()) return {};
  const QUrl url = mime->urls().first();
  return url.isLocalFile() ? url.toLocalFile() : QString();
}

void AcceptDroppedPaths(QWidget* widget, std::function<bool(const QString& path)> wanted,
                        std::function<void(const QString& path)> take) {
  widget->setAcceptDrops(true);
  widget->installEventFilter(new PathDropFilter(widget, std::move(wanted), std::move(take)));
}

}  // namespace tarne::desktop
