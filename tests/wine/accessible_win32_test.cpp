// The main window as a screen reader finds it: through the accessibility calls of Windows
// (AccessibleObjectFromWindow, AccessibleChildren), starting at the real window, as a
// reader walks it. The program's files live in a scratch folder; the clipboard is a
// stand-in.
#include <gtest/gtest.h>
#include <windows.h>

#include <oleacc.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <sstream>
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
      {ROLE_SYSTEM_LIST, L"履歴", false},
      {ROLE_SYSTEM_LISTITEM, L"line one line two 2026/12/01 10:02:00", false},
      {ROLE_SYSTEM_LISTITEM, L"record 0 2026/12/01 10:00:00", false},
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
  const Found* newest = Find(found, ROLE_SYSTEM_LISTITEM, L"line one line two 2026/12/01 10:02:00");
  EXPECT_NE(newest->state & STATE_SYSTEM_SELECTED, 0) << "row 1 is the current row";
  // The items are the records, each under its record's number: readers count "1/3". The
  // headings describe the list and are no item.
  std::vector<long> items;
  for (const Found& x : found)
    if (x.window == WindowOf(f.StringGrid1) && x.child != CHILDID_SELF) items.push_back(x.child);
  EXPECT_EQ(items, (std::vector<long>{1, 2, 3}));
  ComPtr<IAccessible> list = ClientObject(WindowOf(f.StringGrid1));
  BSTR headings = nullptr;
  ASSERT_EQ(list->get_accDescription(Child(CHILDID_SELF), &headings), S_OK);
  EXPECT_EQ(std::wstring(headings, ::SysStringLen(headings)),
            L"クリップボードの履歴 (過去約一カ月) 日時");
  ::SysFreeString(headings);

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
  ASSERT_EQ(history->accDoDefaultAction(Child(2)), S_OK);
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

TEST_F(AccessibleWin32, AReaderFindsTheCurrentRowWhereItIsShown) {
  ui::TMainForm& f = Start(30);
  const HWND grid = WindowOf(f.StringGrid1);
  ComPtr<IAccessible> table = ClientObject(grid);
  ASSERT_TRUE(table);
  EXPECT_NE(LongOf(table.get(), 29, false) & STATE_SYSTEM_OFFSCREEN, 0)
      << "record 29 lies below the view";

  ::SetFocus(grid);
  ::SendMessageW(grid, WM_KEYDOWN, VK_DOWN, 0);
  gui::ProcessMessages();
  EXPECT_EQ(NameOf(table.get(), 2), L"record 28 2026/12/01 10:28:00");
  const long state = LongOf(table.get(), 2, false);
  EXPECT_EQ(state & (STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED),
            STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED);
  VARIANT focus;
  ASSERT_EQ(table->get_accFocus(&focus), S_OK);
  EXPECT_EQ(focus.lVal, 2);
  long left = 0, top = 0, width = 0, height = 0;
  ASSERT_EQ(table->accLocation(&left, &top, &width, &height, Child(2)), S_OK);
  RECT onScreen{};
  ::GetWindowRect(grid, &onScreen);
  EXPECT_GE(top, onScreen.top);
  EXPECT_GT(height, 0);

  // A reader holding the list after it shrank to one record, to its empty row alone, and
  // after the window went.
  f.StringGrid1.Table().SetRowCount(2);
  BSTR name = nullptr;
  EXPECT_EQ(table->get_accName(Child(2), &name), E_INVALIDARG);
  f.StringGrid1.Table().ClearRowsFrom(1);
  long count = -1;
  EXPECT_EQ(table->get_accChildCount(&count), S_OK);
  EXPECT_EQ(count, 0) << "the empty row is no item";
  form.reset();
  gui::ProcessMessages();
  EXPECT_EQ(table->get_accName(Child(CHILDID_SELF), &name), CO_E_OBJNOTCONNECTED);
}

// A record of any length is read by its first 200 code units (a surrogate pair is never
// split, a line break is one blank), "…" when cut, then its stamp.
TEST_F(AccessibleWin32, ALongRecordIsReadByItsStartThenItsStamp) {
  const std::u16string face = u"\U0001F600";  // one character, two code units
  struct Case {
    Text text;
    std::wstring start;  // what the name holds before " " and the stamp
  };
  const Case cases[] = {
      {u"ab\r\n" + Text(99996, u'x'), L"ab " + std::wstring(196, L'x') + L"…"},
      {Text(199, u'a') + face + u"b", std::wstring(199, L'a') + L"…"},
      {Text(200, u'a'), std::wstring(200, L'a')},
  };
  CreateForm();
  const int count = static_cast<int>(std::size(cases));
  for (int i = count - 1; i >= 0; --i)  // the first case ends up on row 1
    core::history::AddHistoryRecord(form->StringGrid1.Table(), form->Log_Cnt,
                                    u"2026/12/01 10:0" + core::IntToText(count - 1 - i) + u":00",
                                    cases[i].text, win32.collator);
  ShowForm();
  ComPtr<IAccessible> list = ClientObject(WindowOf(form->StringGrid1));
  ASSERT_TRUE(list);
  for (int i = 0; i < count; ++i) {
    const std::wstring stamp = L" 2026/12/01 10:0" + std::to_wstring(count - 1 - i) + L":00";
    EXPECT_EQ(NameOf(list.get(), i + 1), cases[i].start + stamp) << "record " << i + 1;
  }
  EXPECT_EQ(NameOf(list.get(), 1).size(), 220u) << "of a record of 100,000 code units";
}

// What a reader in another process hears: it follows focus events to the last one, and
// alerts tell it counts without moving it.
class ReaderWatch {
 public:
  // Starts readerwatch.exe (built beside this test) to listen to this process.
  ReaderWatch() {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring exe(self);
    exe = exe.substr(0, exe.find_last_of(L"\\/") + 1) + L"readerwatch.exe";
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE write = nullptr;
    if (!::CreatePipe(&read_, &write, &inherit, 0)) return;
    ::SetHandleInformation(read_, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = write;
    startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    std::wstring command = L"\"" + exe + L"\" " + std::to_wstring(::GetCurrentProcessId());
    PROCESS_INFORMATION started{};
    if (::CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                         nullptr, nullptr, &startup, &started)) {
      process_ = started.hProcess;
      ::CloseHandle(started.hThread);
    }
    ::CloseHandle(write);
  }
  ~ReaderWatch() {
    if (process_ != nullptr) {
      ::TerminateProcess(process_, 0);  // the listener this test started, by its handle
      ::WaitForSingleObject(process_, 5000);
      ::CloseHandle(process_);
    }
    if (read_ != nullptr) ::CloseHandle(read_);
  }
  ReaderWatch(const ReaderWatch&) = delete;
  ReaderWatch& operator=(const ReaderWatch&) = delete;

  bool Ready() {
    return process_ != nullptr && PumpUntil([&] { return TakeLine("ready"); }, 20000);
  }

  struct Heard {
    std::string kind;  // "focus" or "alert"
    long role;
    long child;
    std::string name;
  };
  // Everything heard since the last call, once the program has handled its pending work:
  // a marker event raised after it arrives after everything before it.
  std::vector<Heard> Settle(HWND from) {
    gui::ProcessMessages();
    const std::string mark = "mark " + std::to_string(++marks_);
    ::NotifyWinEvent(kMarkEvent, from, OBJID_CLIENT, marks_);
    std::vector<Heard> heard;
    const bool arrived = PumpUntil([&] { return TakeLine(mark, &heard); }, 20000);
    EXPECT_TRUE(arrived) << "the listener did not hear " << mark;
    return heard;
  }

 private:
  static constexpr DWORD kMarkEvent = 0xAFFF;

  // Reads what has come; true once `wanted` is among the lines. The others go to `heard`.
  bool TakeLine(const std::string& wanted, std::vector<Heard>* heard = nullptr) {
    DWORD available = 0;
    while (::PeekNamedPipe(read_, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
      std::string chunk(available, '\0');
      DWORD got = 0;
      if (!::ReadFile(read_, chunk.data(), available, &got, nullptr)) break;
      pending_.append(chunk, 0, got);
    }
    for (std::size_t end; (end = pending_.find('\n')) != std::string::npos;) {
      const std::string line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      if (line == wanted) return true;
      std::istringstream in(line);
      Heard h{};
      in >> h.kind >> h.role >> h.child;
      std::getline(in >> std::ws, h.name);
      if (heard != nullptr && (h.kind == "focus" || h.kind == "alert")) heard->push_back(h);
    }
    return false;
  }

  HANDLE process_ = nullptr;
  HANDLE read_ = nullptr;
  std::string pending_;
  long marks_ = 0;
};

std::vector<ReaderWatch::Heard> OfKind(const std::vector<ReaderWatch::Heard>& heard,
                                       const std::string& kind) {
  std::vector<ReaderWatch::Heard> of;
  for (const auto& h : heard)
    if (h.kind == kind) of.push_back(h);
  return of;
}

TEST_F(AccessibleWin32, AReaderEndsOnTheFocusedRowAndHearsCountsWithoutMoving) {
  ui::TMainForm& f = Start(20);
  const HWND main = static_cast<HWND>(f.NativeHandle());
  const HWND grid = WindowOf(f.StringGrid1);
  const HWND search = WindowOf(f.Edt_Serch);
  ReaderWatch reader;
  ASSERT_TRUE(reader.Ready()) << "readerwatch.exe did not start";
  auto fromSearchBox = [&] {
    ::SetFocus(search);
    reader.Settle(main);
  };

  // Arriving by the focus alone: the list (Windows raises its event; Wine 8 raises none on
  // a focus change), and no row after it.
  fromSearchBox();
  ::SetFocus(grid);
  std::vector<ReaderWatch::Heard> focus = OfKind(reader.Settle(main), "focus");
  for (const ReaderWatch::Heard& h : focus) {
    EXPECT_EQ(h.role, ROLE_SYSTEM_LIST);
    EXPECT_EQ(h.name, "履歴");
  }

  // A click on record 3 (from the search box), then a key: the reader ends on the row.
  fromSearchBox();
  long left = 0, top = 0, width = 0, height = 0;
  ASSERT_EQ(ClientObject(grid)->accLocation(&left, &top, &width, &height, Child(3)), S_OK);
  POINT at{left + 40, top + height / 2};
  ::ScreenToClient(grid, &at);
  ::SendMessageW(grid, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
  ::SendMessageW(grid, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
  focus = OfKind(reader.Settle(main), "focus");
  ASSERT_FALSE(focus.empty());
  EXPECT_EQ(focus.back().role, ROLE_SYSTEM_LISTITEM);
  EXPECT_EQ(focus.back().child, 3);
  EXPECT_EQ(focus.back().name, "record 17 2026/12/01 10:17:00");
  ::SendMessageW(grid, WM_KEYDOWN, VK_DOWN, 0);
  focus = OfKind(reader.Settle(main), "focus");
  ASSERT_FALSE(focus.empty());
  EXPECT_EQ(focus.back().role, ROLE_SYSTEM_LISTITEM);
  EXPECT_EQ(focus.back().child, 4);

  // Counts: the search from its box ("record 1" is in records 1 and 10 to 18), the whole
  // history again, a saved view, the history view. The focus stays where it was.
  fromSearchBox();
  f.Edt_Serch.SetText(u"record 1");
  struct Step {
    std::function<void()> command;
    std::string alert;
  };
  const Step steps[] = {{[&] { f.SpeedB_Serch.Click(); }, "10件抽出しました"},
                        {[&] { f.SpeedB_All.Click(); }, "20件"},
                        {[&] { f.Img_List.Click(); }, "1件"},
                        {[&] { f.img_Log.Click(); }, "20件"}};
  for (const Step& step : steps) {
    const bool inSearchBox = ::GetFocus() == search;
    step.command();
    const std::vector<ReaderWatch::Heard> heard = reader.Settle(main);
    const std::vector<ReaderWatch::Heard> alerts = OfKind(heard, "alert");
    ASSERT_EQ(alerts.size(), 1u) << step.alert;
    EXPECT_EQ(alerts[0].role, ROLE_SYSTEM_ALERT);
    EXPECT_EQ(alerts[0].name, step.alert);
    EXPECT_EQ(heard.back().kind, "alert") << step.alert << ": told after any focus move";
    if (inSearchBox && ::GetFocus() == search) {
      EXPECT_TRUE(OfKind(heard, "focus").empty()) << step.alert;
    }
  }
}

}  // namespace
