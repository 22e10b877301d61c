// Helpers of the dialog suites.
#pragma once

#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QPixmap>
#include <QString>
#include <QWidget>
#include <QtTest>

namespace tarne::testing {

// With TARNE_SHOTS set to a folder, saves a picture of the widget there, for
// looking at the dialogs without a display.
inline void SaveShot(QWidget* widget, const QString& name) {
  const QString folder = qEnvironmentVariable("TARNE_SHOTS");
  if (folder.isEmpty()) return;
  QDir().mkpath(folder);
  widget->grab().save(folder + "/" + name + ".png");
}

// Drags a local file or folder onto target and drops it, as a file manager
// would.  Answers whether target took the drop.
inline bool DropPath(QWidget* target, const QString& path) {
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(path)});
  const QPoint at = target->rect().center();
  QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &drop);
  return drop.isAccepted();
}

template <typename T>
T* Child(QWidget* parent, const QString& name) {
  T* child = parent->findChild<T*>(name);
  if (!child) qFatal("no child widget %s", qPrintable(name));
  return child;
}

}  // namespace tarne::testing
