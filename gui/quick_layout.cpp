#include "gui/quick_layout.h"

namespace gui {

std::size_t QuickLayoutLength(const Text& text, bool wordWrap, std::size_t budget) {
  double work = 0;
  std::size_t inParagraph = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    work += wordWrap ? 1 + static_cast<double>(inParagraph) / kWrapSquareDivisor : 1;
    inParagraph = c == u'\r' || c == u'\n' ? 0 : inParagraph + 1;
    if (work > static_cast<double>(budget)) return i;
  }
  return text.size();
}

}  // namespace gui
