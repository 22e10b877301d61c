#include "qt_text.h"

#include "text_decoding.h"

namespace tarne::desktop {

QString DecodeForDisplay(const std::string& bytes) {
  return QString::fromStdString(DisplayUtf8(bytes));
}

}  // namespace tarne::desktop
