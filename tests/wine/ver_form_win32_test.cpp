// The version dialog itself on the real windows: its client area, white background, the
// banner and the pen picture at their places, the two labels in their font over the
// banner, and the list with its columns and rows.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <string>

#include "gui/application.h"
#include "tests/wine/client_pixels.h"
#include "ui/ver_form.h"

namespace {

using wine_tests::kWhitePixel;
using wine_tests::Pixels;

class VerFormWin32 : public ::testing::Test {
 protected:
  void SetUp() override {
    gui::Realize(dialog);
    hwnd = static_cast<HWND>(dialog.NativeHandle());
    ASSERT_NE(hwnd, nullptr) << "no window could be made: run under a display";
  }
  void TearDown() override {
    dialog.Close();
    gui::ProcessMessages();
  }

  // Counts the pixels of a client rectangle that differ from the picture's, the picture's
  // top left corner lying at (left, top) of the client area.
  static int Mismatches(const Pixels& client, const Pixels& picture, int left, int top,
                        RECT area) {
    int differing = 0;
    for (int y = area.top; y < area.bottom; ++y)
      for (int x = area.left; x < area.right; ++x)
        if (client.At(x, y) != picture.At(x - left, y - top)) ++differing;
    return differing;
  }

  ui::TVerForm dialog;
  HWND hwnd = nullptr;
};

TEST_F(VerFormWin32, ClientAreaAndWhiteBackground) {
  RECT client{};
  ::GetClientRect(hwnd, &client);
  EXPECT_EQ(client.right, 502);
  EXPECT_EQ(client.bottom, 490);
  EXPECT_EQ(::GetWindowLongW(hwnd, GWL_STYLE) & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0)
      << "a fixed dialog border";
  const Pixels pixels = wine_tests::PaintedClient(hwnd);
  // Where no picture, label or rule lies.
  for (POINT p : {POINT{0, 0}, POINT{501, 0}, POINT{3, 200}, POINT{0, 489}, POINT{501, 489},
                  POINT{490, 420}, POINT{250, 460}, POINT{160, 380}})
    EXPECT_EQ(pixels.At(p.x, p.y), kWhitePixel) << p.x << ", " << p.y;
}

// The banner (577 x 273 at 8, 32, stretched to its box, which is its own size) runs past
// the right edge; the pen (110 x 123 at its natural size in a 113 x 121 box at 32, 288)
// is neither stretched nor moved and lies over the banner.
TEST_F(VerFormWin32, BannerAndPenAtTheirPlaces) {
  const Pixels pixels = wine_tests::PaintedClient(hwnd);
  const Pixels banner = wine_tests::ResourcePicture(u"VERSION_BANNER");
  const Pixels pen = wine_tests::ResourcePicture(u"PEN");
  ASSERT_EQ(banner.width, 577);
  ASSERT_EQ(banner.height, 273);
  ASSERT_EQ(pen.width, 110);
  ASSERT_EQ(pen.height, 123);

  // Above the labels, and left of the labels, the list and the pen: the banner alone.
  EXPECT_EQ(Mismatches(pixels, banner, 8, 32, RECT{8, 32, 502, 208}), 0);
  EXPECT_EQ(Mismatches(pixels, banner, 8, 32, RECT{8, 208, 32, 305}), 0);
  for (int y = 32; y < 305; y += 7) EXPECT_EQ(pixels.At(7, y), kWhitePixel) << "left of it, " << y;
  for (int x = 8; x < 32; ++x) {
    EXPECT_EQ(pixels.At(x, 31), kWhitePixel) << "above it, " << x;
    EXPECT_EQ(pixels.At(x, 305), kWhitePixel) << "below it, " << x;
  }

  EXPECT_EQ(Mismatches(pixels, pen, 32, 288, RECT{32, 288, 142, 409}), 0);
  // Right of the picture inside the box: what lies beneath (banner, then background).
  EXPECT_EQ(Mismatches(pixels, banner, 8, 32, RECT{142, 288, 145, 305}), 0);
  for (int y = 305; y < 409; ++y) EXPECT_EQ(pixels.At(143, y), kWhitePixel) << y;
  // Nothing of it below its box.
  for (int x = 32; x < 142; ++x) EXPECT_EQ(pixels.At(x, 409), kWhitePixel) << x;
}

// Each label's pixels are exactly its caption drawn in "ＭＳ Ｐゴシック" 15 px (Japanese
// character set) at its place over what lies beneath.
TEST_F(VerFormWin32, LabelsInTheirFontAndPlaceOverTheBanner) {
  const Pixels withLabels = wine_tests::PaintedClient(hwnd);
  dialog.Label1.Hide();
  dialog.Label4.Hide();
  const Pixels beneath = wine_tests::PaintedClient(hwnd);
  ASSERT_NE(withLabels.values, beneath.values) << "the labels painted nothing";

  auto drawn = [&](const wchar_t* face, int height, BYTE charset) {
    wine_tests::PixelCanvas canvas(beneath.width, beneath.height);
    canvas.Write(beneath);
    HFONT font = ::CreateFontW(-height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, charset,
                               OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                               DEFAULT_PITCH | FF_DONTCARE, face);
    HGDIOBJ old = ::SelectObject(canvas.Dc(), font);
    ::SetBkMode(canvas.Dc(), TRANSPARENT);
    ::SetTextColor(canvas.Dc(), RGB(0, 0, 0));
    struct {
      int left, top;
      const wchar_t* text;
    } const labels[] = {{216, 208, L"Ver1.00.0002"}, {320, 208, L"履歴検索機能追加"}};
    for (const auto& label : labels) {
      RECT box{label.left, label.top, label.left + 200, label.top + 40};
      ::DrawTextW(canvas.Dc(), label.text, -1, &box, DT_LEFT | DT_TOP | DT_NOPREFIX | DT_NOCLIP);
    }
    ::SelectObject(canvas.Dc(), old);
    ::DeleteObject(font);
    return canvas.Read();
  };
  EXPECT_TRUE(drawn(L"ＭＳ Ｐゴシック", 15, SHIFTJIS_CHARSET).values == withLabels.values);
  // The comparison tells fonts apart.
  EXPECT_FALSE(drawn(L"Tahoma", 15, DEFAULT_CHARSET).values == withLabels.values);
  EXPECT_FALSE(drawn(L"ＭＳ Ｐゴシック", 16, SHIFTJIS_CHARSET).values == withLabels.values);
}

std::wstring ItemText(HWND list, int item, int column) {
  wchar_t text[64]{};
  LVITEMW request{};
  request.iSubItem = column;
  request.pszText = text;
  request.cchTextMax = 64;
  ::SendMessageW(list, LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(&request));
  return text;
}

TEST_F(VerFormWin32, ListWithItsColumnsAndTheTwoRows) {
  HWND list = ::FindWindowExW(hwnd, nullptr, WC_LISTVIEWW, nullptr);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(::GetWindowLongW(list, GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
  RECT box{};
  ::GetWindowRect(list, &box);
  ::MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&box), 2);
  EXPECT_EQ(box.left, 176);
  EXPECT_EQ(box.top, 232);
  EXPECT_EQ(box.right - box.left, 297);
  EXPECT_EQ(box.bottom - box.top, 89);

  const wchar_t* captions[] = {L"バージョン", L"内容"};
  const int widths[] = {80, 200};
  for (int c = 0; c < 2; ++c) {
    wchar_t text[32]{};
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT;
    column.pszText = text;
    column.cchTextMax = 32;
    ASSERT_TRUE(::SendMessageW(list, LVM_GETCOLUMNW, c, reinterpret_cast<LPARAM>(&column)));
    EXPECT_EQ(std::wstring(text), captions[c]);
    EXPECT_EQ(::SendMessageW(list, LVM_GETCOLUMNWIDTH, c, 0), widths[c]);
  }
  ASSERT_EQ(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(ItemText(list, 0, 0), L"Ver1.00.0002");
  EXPECT_EQ(ItemText(list, 0, 1), L"履歴検索機能追加");
  EXPECT_EQ(ItemText(list, 1, 0), L"Ver1.00.0001");
  EXPECT_EQ(ItemText(list, 1, 1), L"初版");

  LOGFONTW font{};
  ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(list, WM_GETFONT, 0, 0)), sizeof(font), &font);
  EXPECT_EQ(std::wstring(font.lfFaceName), L"Tahoma");
  EXPECT_EQ(font.lfHeight, -11);
}

}  // namespace
