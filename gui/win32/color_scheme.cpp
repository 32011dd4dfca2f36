#include "gui/win32/color_scheme.h"

#include "gui/application.h"
#include "gui/form.h"

namespace gui::win32 {

namespace {

struct SchemeState {
  std::optional<bool> forced;
  std::optional<bool> known;
};

SchemeState& State() {
  static SchemeState state;
  return state;
}

bool IsForm(const gui::Control& control) {
  return dynamic_cast<const gui::Form*>(&control) != nullptr;
}

BOOL CALLBACK TellChild(HWND child, LPARAM) {
  ::SendMessageW(child, WM_SYSCOLORCHANGE, 0, 0);
  return TRUE;
}

}  // namespace

bool HighContrastOn() {
  SchemeState& state = State();
  if (state.forced) return *state.forced;
  if (!state.known) {
    HIGHCONTRASTW info{};
    info.cbSize = sizeof info;
    state.known = ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof info, &info, 0) != FALSE &&
                  (info.dwFlags & HCF_HIGHCONTRASTON) != 0;
  }
  return *state.known;
}

void ColorSchemeChanged() { State().known.reset(); }

void SetHighContrastForTesting(std::optional<bool> on) { State().forced = on; }

gui::Color SystemColor(int index) {
  const COLORREF c = ::GetSysColor(index);
  return gui::Color{GetRValue(c), GetGValue(c), GetBValue(c)};
}

gui::Color SchemeColor(gui::Color designed, int index) {
  return HighContrastOn() ? SystemColor(index) : designed;
}

gui::Color ContainerBackground(const gui::Control& container, gui::Color designed) {
  return SchemeColor(designed, IsForm(container) ? COLOR_WINDOW : COLOR_BTNFACE);
}

gui::Color ContainerText(const gui::Control& container, gui::Color designed) {
  return SchemeColor(designed, IsForm(container) ? COLOR_WINDOWTEXT : COLOR_BTNTEXT);
}

void RepaintForNewColors(HWND top, bool tellChildren) {
  ColorSchemeChanged();
  // Common controls (the list view) keep brushes of their own until told.
  if (tellChildren) ::EnumChildWindows(top, &TellChild, 0);
  ::RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

}  // namespace gui::win32

namespace gui {

std::optional<SystemColors> HighContrastColors() {
  if (!win32::HighContrastOn()) return std::nullopt;
  using win32::SystemColor;
  return SystemColors{SystemColor(COLOR_WINDOW),    SystemColor(COLOR_WINDOWTEXT),
                      SystemColor(COLOR_HIGHLIGHT), SystemColor(COLOR_HIGHLIGHTTEXT),
                      SystemColor(COLOR_BTNFACE),   SystemColor(COLOR_BTNTEXT)};
}

}  // namespace gui
