// Turning the byte strings of reports and essays into text the widgets show.
#pragma once

#include <string>

namespace tarne::desktop {

// bytes as UTF-8: unchanged when they already are valid UTF-8, else read as
// Windows-1252, the code page legacy essays were written in.
std::string DisplayUtf8(const std::string& bytes);

// CR LF and lone CR become LF: the pane and message boxes break lines at LF.
std::string PlainLineEnds(const std::string& text);

}  // namespace tarne::desktop
