// The main window as a screen reader finds it: through the accessibility calls of Windows
// (AccessibleObjectFromWindow, AccessibleChildren), starting at the real window, as a
// reader walks it. The program's files live in a scratch folder; the clipboard is a
// stand-in.
#include <gtest/gtest.h>
#include <windows.h>

#include <oleacc.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "core/history.h"
#include "gui/application.h"
#include "gui/win32/win32_window.h"
#include "platform/win32/com.h"
#include "platform/win32/win32_services.h"
#include "tests/wine/app_stand_ins.h"
#include "tests/wine/client_pixels.h"
#include "tests/wine/platform_test_support.h"
#include "ui/edt_form.h"
#include "ui/main_form.h"

namespace {

using core::Text;
using gui::win32::WindowOf;
using platform::win32::ComPtr;
using wine_tests::PumpUntil;

VARIANT Child(long id) {
  VARIANT v;
  ::VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

std::wstring NameOf(IAccessible* object, long child) {
  BSTR name = nullptr;
  if (FAILED(object->get_accName(Child(child), &name)) || name == nullptr) return L"";
  std::wstring text(name, ::SysStringLen(name));
  ::SysFreeString(name);
  return text;
}

long LongOf(IAccessible* object, long child, bool role) {
  VARIANT v;
  ::VariantInit(&v);
  const HRESULT hr =
      role ? object->get_accRole(Child(child), &v) : object->get_accState(Child(child), &v);
  return SUCCEEDED(hr) && v.vt == VT_I4 ? v.lVal : -1;
}

ComPtr<IAccessible> ClientObject(HWND hwnd) {
  ComPtr<IAccessible> object;
  ::AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                               object.PutVoid());
  return object;
}

// One thing a reader can land on: an object or a simple element of one.
struct Found {
  long role;
  std::wstring name;
  long state;
  HWND window;
  long child;
};

// Everything reachable from the window's client object, depth first in child order. A
// child that is a window is entered through its own client object, as readers do.
void Walk(HWND hwnd, std::vector<Found>& out) {
  ComPtr<IAccessible> object = ClientObject(hwnd);
  if (!object) return;
  out.push_back({LongOf(object.get(), CHILDID_SELF, true), NameOf(object.get(), CHILDID_SELF),
                 LongOf(object.get(), CHILDID_SELF, false), hwnd, CHILDID_SELF});
  long count = 0;
  object->get_accChildCount(&count);
  std::vector<VARIANT> children(static_cast<std::size_t>(std::max(count, 0L)));
  long got = 0;
  if (count <= 0 || FAILED(::AccessibleChildren(object.get(), 0, count, children.data(), &got)))
    return;
  for (long i = 0; i < got; ++i) {
    VARIANT& v = children[static_cast<std::size_t>(i)];
    if (v.vt == VT_I4) {
      out.push_back({LongOf(object.get(), v.lVal, true), NameOf(object.get(), v.lVal),
                     LongOf(object.get(), v.lVal, false), hwnd, v.lVal});
    } else if (v.vt == VT_DISPATCH && v.pdispVal != nullptr) {
      ComPtr<IAccessible> window;
      HWND child = nullptr;
      if (SUCCEEDED(v.pdispVal->QueryInterface(__uuidof(IAccessible), window.PutVoid())) &&
          SUCCEEDED(::WindowFromAccessibleObject(window.get(), &child)) && child != nullptr &&
          child != hwnd && ::IsWindowVisible(child))
        Walk(child, out);
    }
    ::VariantClear(&v);
  }
}

const Found* Find(const std::vector<Found>& found, long role, const std::wstring& name) {
  for (const Found& f : found)
    if (f.role == role && f.name == name) return &f;
  return nullptr;
}

class AccessibleWin32 : public wine_tests::MainFormTest {
 protected:

  // The history holds `count` records, newest first; the newest has two lines. One entry
  // is saved, so that the saved views can open.
  ui::TMainForm& Start(int count) {
    ::CreateDirectoryW(folder.Wide(L"Data").c_str(), nullptr);
    folder.Put(L"Data\\hozon.dat", "cat,title 1,20240101 100001,00000\r\n");
    folder.Put(L"Data\\h20240101 100001.dat", "text 1");
    CreateForm();
    for (int i = 0; i < count; ++i) {
      const Text minute{static_cast<char16_t>(u'0' + i / 10), static_cast<char16_t>(u'0' + i % 10)};
      core::history::AddHistoryRecord(form->StringGrid1.Table(), form->Log_Cnt,
                                      u"2026/12/01 10:" + minute + u":00",
                                      i + 1 == count ? u"line one\r\nline two"
                                                     : u"record " + core::IntToText(i),
                                      win32.collator);
    }
    return ShowForm();
  }
};

TEST_F(AccessibleWin32, TheMainWindowShowsItsRowsButtonsAndHeadingsByName) {
  ui::TMainForm& f = Start(3);
  std::vector<Found> found;
  Walk(static_cast<HWND>(f.NativeHandle()), found);

  struct Expected {
    long role;
    std::wstring name;
    bool unavailable;
  };
  const Expected expected[] = {
      {ROLE_SYSTEM_TABLE, L"履歴", false},
      {ROLE_SYSTEM_ROW, L"クリップボードの履歴 (過去約一カ月) 日時", false},
      {ROLE_SYSTEM_ROW, L"line one line two 2026/12/01 10:02:00", false},
      {ROLE_SYSTEM_ROW, L"record 0 2026/12/01 10:00:00", false},
      {ROLE_SYSTEM_PUSHBUTTON, L"カテゴリー順", false},
      {ROLE_SYSTEM_PUSHBUTTON, L"編集", true},
      {ROLE_SYSTEM_PUSHBUTTON, L"クリップボードクリア", false},
      {ROLE_SYSTEM_STATICTEXT, L"保存内容", false},
      {ROLE_SYSTEM_PUSHBUTTON, L"履歴の検索", false},
      {ROLE_SYSTEM_PUSHBUTTON, L"履歴の全件表示", true},
  };
  for (const Expected& e : expected) {
    const Found* hit = Find(found, e.role, e.name);
    ASSERT_NE(hit, nullptr) << wine_test::Utf8(Text(e.name.begin(), e.name.end()));
    EXPECT_EQ((hit->state & STATE_SYSTEM_UNAVAILABLE) != 0, e.unavailable)
        << wine_test::Utf8(Text(e.name.begin(), e.name.end()));
  }
  // The captions alone are not objects; the buttons come in on-screen order.
  EXPECT_EQ(Find(found, ROLE_SYSTEM_STATICTEXT, L"履　歴"), nullptr);
  std::vector<std::wstring> panelButtons;
  const HWND panel1 = WindowOf(f.Panel1);
  for (const Found& x : found)
    if (x.window == panel1 && x.role == ROLE_SYSTEM_PUSHBUTTON) panelButtons.push_back(x.name);
  EXPECT_EQ(panelButtons, (std::vector<std::wstring>{L"履歴", L"カテゴリー順", L"最近保存した順",
                                                     L"よく使う順", L"保存", L"編集", L"削除",
                                                     L"履歴クリア", L"クリップボードクリア"}));
  const Found* newest = Find(found, ROLE_SYSTEM_ROW, L"line one line two 2026/12/01 10:02:00");
  EXPECT_NE(newest->state & STATE_SYSTEM_SELECTED, 0) << "row 1 is the current row";

  // Pressing a disabled button does nothing; pressing the view button opens the view.
  ComPtr<IAccessible> panel = ClientObject(panel1);
  const Found* all = Find(found, ROLE_SYSTEM_PUSHBUTTON, L"履歴の全件表示");
  EXPECT_TRUE(FAILED(ClientObject(all->window)->accDoDefaultAction(Child(CHILDID_SELF))));
  const Found* byCategory = Find(found, ROLE_SYSTEM_PUSHBUTTON, L"カテゴリー順");
  ASSERT_EQ(panel->accDoDefaultAction(Child(byCategory->child)), S_OK);
  ASSERT_TRUE(PumpUntil([&] { return f.StringGrid2.Visible(); }));
  EXPECT_EQ(NameOf(ClientObject(WindowOf(f.StringGrid2)).get(), CHILDID_SELF), L"カテゴリー順");

  // Choosing a history row does what a click on it does: its text goes to the clipboard.
  f.img_Log.Click();
  ComPtr<IAccessible> history = ClientObject(WindowOf(f.StringGrid1));
  ASSERT_EQ(history->accDoDefaultAction(Child(3)), S_OK);
  ASSERT_TRUE(PumpUntil([&] { return f.StringGrid1.Table().CurrentRow() == 2; }));
  EXPECT_EQ(wine_test::Utf8(clipboard.text), "record 1\r\n") << "as the board lays it out";
}

TEST_F(AccessibleWin32, TheEditorsButtonsAreReadByTheirCaptionsInEachMode) {
  ui::TMainForm& f = Start(1);
  struct Case {
    const char16_t* mode;
    std::vector<std::wstring> buttons;
  };
  for (const Case& c : {Case{u"NEW", {L"保存", L"キャンセル"}}, Case{u"VIEW", {L"戻る"}}}) {
    f.wEditSw = c.mode;
    auto editor = std::make_unique<ui::TEdtForm>(f);
    editor->ShowWindow();
    gui::ProcessMessages();
    std::vector<Found> found;
    Walk(static_cast<HWND>(editor->NativeHandle()), found);
    std::vector<std::wstring> buttons;
    for (const Found& x : found)
      if (x.role == ROLE_SYSTEM_PUSHBUTTON) buttons.push_back(x.name);
    EXPECT_EQ(buttons, c.buttons) << wine_test::Utf8(c.mode);
    editor.reset();
    gui::ProcessMessages();
  }
}

// Records the focus and selection events of the process.
std::vector<std::pair<DWORD, long>>* heard = nullptr;
HWND heardFrom = nullptr;
void CALLBACK Listen(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child, DWORD,
                     DWORD) {
  if (heard != nullptr && hwnd == heardFrom && object == OBJID_CLIENT)
    heard->push_back({event, child});
}

TEST_F(AccessibleWin32, AnArrowKeyMovesTheReaderToTheNextRow) {
  ui::TMainForm& f = Start(30);
  const HWND grid = WindowOf(f.StringGrid1);
  ComPtr<IAccessible> table = ClientObject(grid);
  ASSERT_TRUE(table);
  EXPECT_NE(LongOf(table.get(), 30, false) & STATE_SYSTEM_OFFSCREEN, 0)
      << "row 29 lies below the view";

  std::vector<std::pair<DWORD, long>> events;
  heard = &events;
  heardFrom = grid;
  // Out of context: the events arrive as messages, handled while the test waits.
  HWINEVENTHOOK hook =
      ::SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_SELECTION, nullptr, &Listen,
                        ::GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
  ASSERT_NE(hook, nullptr);
  ::SetFocus(grid);
  ::SendMessageW(grid, WM_KEYDOWN, VK_DOWN, 0);
  const std::pair<DWORD, long> focusOnRow2{EVENT_OBJECT_FOCUS, 3};
  const bool announced = PumpUntil([&] {
    return std::find(events.begin(), events.end(), focusOnRow2) != events.end();
  });
  ::UnhookWinEvent(hook);
  heard = nullptr;
  ASSERT_TRUE(announced);
  const std::pair<DWORD, long> row2Selected{EVENT_OBJECT_SELECTION, 3};
  EXPECT_NE(std::find(events.begin(), events.end(), row2Selected), events.end());

  EXPECT_EQ(NameOf(table.get(), 3), L"record 28 2026/12/01 10:28:00");
  const long state = LongOf(table.get(), 3, false);
  EXPECT_EQ(state & (STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED),
            STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED);
  VARIANT focus;
  ASSERT_EQ(table->get_accFocus(&focus), S_OK);
  EXPECT_EQ(focus.lVal, 3);
  long left = 0, top = 0, width = 0, height = 0;
  ASSERT_EQ(table->accLocation(&left, &top, &width, &height, Child(3)), S_OK);
  RECT onScreen{};
  ::GetWindowRect(grid, &onScreen);
  EXPECT_GE(top, onScreen.top);
  EXPECT_GT(height, 0);

  // A reader holding the table after it shrank, and after the window went.
  f.StringGrid1.Table().SetRowCount(2);
  BSTR name = nullptr;
  EXPECT_EQ(table->get_accName(Child(3), &name), E_INVALIDARG);
  form.reset();
  gui::ProcessMessages();
  EXPECT_EQ(table->get_accName(Child(CHILDID_SELF), &name), CO_E_OBJNOTCONNECTED);
}

}  // namespace
