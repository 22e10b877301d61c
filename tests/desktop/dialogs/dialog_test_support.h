// Helpers of the dialog suites.
#pragma once

#include <QDir>
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

template <typename T>
T* Child(QWidget* parent, const QString& name) {
  T* child = parent->findChild<T*>(name);
  if (!child) qFatal("no child widget %s", qPrintable(name));
  return child;
}

}  // namespace tarne::testing
