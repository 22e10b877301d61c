// Files and folders dropped from a file manager onto a widget.
#pragma once

#include <QString>
#include <functional>

class QMimeData;
class QWidget;

namespace tarne::desktop {

// The local file or folder a drag carries (its first address), or "" when
// it carries none.
QString DroppedPath(const QMimeData* mime);

// From now on a drag over widget whose path `wanted` accepts may be dropped
// there, and the path goes to `take`; every other drag is left to the
// widget's own handling (an edit still takes dropped text).  Scroll areas
// receive drops on their viewport; pass that.
void AcceptDroppedPaths(QWidget* widget, std::function<bool(const QString& path)> wanted,
                        std::function<void(const QString& path)> take);

}  // namespace tarne::desktop
