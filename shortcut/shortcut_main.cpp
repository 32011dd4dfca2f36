// Entry of the installer helper. For now it only opens its window, which the user closes.
#include <windows.h>

#include "gui/application.h"
#include "gui/form.h"
#include "platform/win32/com.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  platform::win32::ComApartment apartment;

  gui::Form window;
  window.SetCaption(u"ショートカット作成");
  window.SetClientSize(297, 98);
  window.centerOnScreen = true;
  window.resizable = false;
  const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
  window.background = gui::Color{GetRValue(face), GetGValue(face), GetBValue(face)};
  window.SetColor(window.background);
  gui::Font font;
  font.face = u"Tahoma";
  font.height = 11;
  window.SetFont(font);

  gui::Realize(window);
  window.ShowWindow();
  gui::RunMessageLoop(window);
  return 0;
}
