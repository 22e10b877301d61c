// Moving text between the core (byte strings) and the widgets.
#pragma once

#include <QString>
#include <string>

namespace tarne::desktop {

// Edits and settings hold UTF-8 on this platform.
inline QString ToQ(const std::string& text) { return QString::fromStdString(text); }
inline std::string ToStd(const QString& text) { return text.toStdString(); }

// File contents for reading: valid UTF-8 as such, anything else as
// Windows-1252, so that legacy essays keep their accented letters.
QString DecodeForDisplay(const std::string& bytes);

}  // namespace tarne::desktop
