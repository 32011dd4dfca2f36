// The main window and the entry editor as designed: every control's place, size, text and
// font, and every menu and popup item, written out from the design tables. A typo in a
// coordinate or a caption fails here even where no behaviour depends on it.
#include <optional>
#include <string>
#include <vector>

#include "form_fixture.h"
#include "ui/edt_form.h"

namespace {

using namespace testing_support;

constexpr int kAny = -1;  // a size the design leaves to the control (labels size to their text)

struct Designed {
  const char* name;
  const gui::Control& control;
  gui::Rect bounds;                  // width or height kAny: not checked
  std::optional<Text> text;          // a label's caption, a speed button's tool tip
  std::optional<gui::Font> font;     // face and pixel height
  std::optional<gui::Color> colour;  // a panel's colour
};

gui::Font Tahoma(int px) { return gui::Font{u"Tahoma", px}; }
gui::Font PGothic(int px) { return gui::Font{u"ＭＳ Ｐゴシック", px}; }

void ExpectAsDesigned(const std::vector<Designed>& table) {
  for (const Designed& d : table) {
    SCOPED_TRACE(d.name);
    const gui::Rect& b = d.control.Bounds();
    EXPECT_EQ(b.left, d.bounds.left);
    EXPECT_EQ(b.top, d.bounds.top);
    if (d.bounds.width != kAny) EXPECT_EQ(b.width, d.bounds.width);
    if (d.bounds.height != kAny) EXPECT_EQ(b.height, d.bounds.height);
    if (d.text) {
      const auto* button = dynamic_cast<const gui::SpeedButton*>(&d.control);
      EXPECT_EQ(U8(button != nullptr ? button->hint : d.control.Caption()), U8(*d.text));
    }
    if (d.font) {
      EXPECT_EQ(U8(d.control.GetFont().face), U8(d.font->face));
      EXPECT_EQ(d.control.GetFont().height, d.font->height);
      EXPECT_FALSE(d.control.GetFont().points);
    }
    if (d.colour) EXPECT_EQ(d.control.GetColor(), *d.colour);
  }
}

struct MenuShape {
  std::string caption;
  std::vector<std::string> items;
};

std::vector<MenuShape> ShapeOf(const gui::MenuItem& menu) {
  std::vector<MenuShape> shape;
  for (const auto& item : menu.Items()) {
    MenuShape s{U8(item->Caption()), {}};
    for (const auto& sub : item->Items()) s.items.push_back(U8(sub->Caption()));
    shape.push_back(std::move(s));
  }
  return shape;
}

std::vector<std::string> CaptionsOf(const gui::MenuItem& menu) {
  std::vector<std::string> captions;
  for (const auto& item : menu.Items()) captions.push_back(U8(item->Caption()));
  return captions;
}

class DesignedLayoutTest : public AppFolderTest {};

// After start-up at the default outer size 1088 x 683: the resize rule has set the heights
// of the panels, the tables' size, the board's and the search box's widths and the three
// buttons' left edges, and start-up has placed the logo; everything else keeps its
// designed value.
TEST_F(DesignedLayoutTest, MainWindowControls) {
  ui::TMainForm& f = Start();
  ASSERT_EQ(f.Bounds(), (gui::Rect{200, 200, 1088, 683})) << "default outer frame";
  EXPECT_EQ(U8(f.Caption()), "ソラミツ");
  EXPECT_EQ(f.GetFont(), Tahoma(11));

  const gui::Color skyBlue{166, 202, 240}, silver{192, 192, 192};
  ExpectAsDesigned({
      {"Panel1", f.Panel1, {0, 0, 140, 683}, {}, {}, skyBlue},
      {"img_Log", f.img_Log, {7, 16, 53, 49}},
      {"Lbl_Log", f.Lbl_Log, {66, 32, 40, 18}, u"履　歴", Tahoma(15)},
      {"Shape3", f.Shape3, {7, 71, 122, 1}},
      {"Label1", f.Label1, {7, 93, 60, 18}, u"保存内容", Tahoma(15)},
      {"Img_List", f.Img_List, {7, 117, 53, 43}},
      {"Lbl_List", f.Lbl_List, {66, 130, 70, 16}, u"カテゴリー順", Tahoma(13)},
      {"Img_new", f.Img_new, {7, 166, 53, 47}},
      {"Lbl_New", f.Lbl_New, {66, 177, 60, 16}, u"最近保存\r\nした順", Tahoma(13)},
      {"Img_High", f.Img_High, {7, 219, 49, 49}},
      {"Lbl_High", f.Lbl_High, {62, 239, 58, 16}, u"よく使う順", Tahoma(13)},
      {"Shape1", f.Shape1, {7, 279, 122, 1}},
      {"Img_Sv", f.Img_Sv, {8, 300, 52, 48}},
      {"lbl_Save", f.lbl_Save, {66, 317, 40, 18}, u"保　存", Tahoma(15)},
      {"Img_Edit", f.Img_Edit, {7, 346, 53, 52}},
      {"Lbl_Edit", f.Lbl_Edit, {66, 362, 40, 18}, u"編　集", Tahoma(15)},
      {"Img_Del", f.Img_Del, {7, 396, 53, 45}},
      {"Lbl_Del", f.Lbl_Del, {66, 412, 40, 18}, u"削　除", Tahoma(15)},
      {"Shape2", f.Shape2, {7, 480, 122, 1}},
      {"Img_Clrer", f.Img_Clrer, {7, 504, 53, 50}},
      {"Lbl_Clear", f.Lbl_Clear, {66, 525, 60, 16}, u"履歴クリア", Tahoma(13)},
      {"Img_Clip", f.Img_Clip, {7, 552, 54, 48}},
      {"Lbl_Clip", f.Lbl_Clip, {67, 568, 31, 13}, u"クリップ\r\nボードクリア", Tahoma(11)},

      {"Panel2", f.Panel2, {140, 0, 200, 683}, {}, {}, silver},
      {"Img_Log1", f.Img_Log1, {6, 16, 53, 49}},
      {"Img_List1", f.Img_List1, {9, 16, 53, 43}},
      {"Img_new1", f.Img_new1, {6, 12, 53, 47}},
      {"Img_High1", f.Img_High1, {6, 15, 49, 49}},
      {"Lbl_Titol", f.Lbl_Titol, {60, 31, 43, 19}, u"履　歴", Tahoma(16)},
      {"Shape4", f.Shape4, {6, 71, 184, 2}},
      {"ListBox1", f.ListBox1, {20, 79, 161, 537}, {}, Tahoma(13), silver},

      {"Memo_Board", f.Memo_Board, {346, 0, 718, 178}, {}, PGothic(16)},
      {"Label2", f.Label2, {354, 195, 72, 18}, u"履歴の検索", Tahoma(15)},
      {"Edt_Serch", f.Edt_Serch, {443, 191, 462, 27}, {}, Tahoma(16)},
      {"SpeedB_Serch", f.SpeedB_Serch, {915, 187, 58, 31}, u"履歴の検索"},
      {"SpeedB_Clr", f.SpeedB_Clr, {983, 184, 25, 34}, u"クリア"},
      {"SpeedB_All", f.SpeedB_All, {1018, 188, 58, 30}, u"履歴の全件表示"},
      {"StringGrid1", f.StringGrid1, {346, 224, 718, 395}, {}, Tahoma(15)},
      {"StringGrid2", f.StringGrid2, {346, 224, 718, 395}, {}, Tahoma(15)},
      {"StringGrid3", f.StringGrid3, {346, 224, 718, 395}, {}, Tahoma(15)},
      // Start-up moves the logo so that its lower right corner meets the table's.
      {"Img_Logo", f.Img_Logo, {346 + 718 - 753, 224 + 395 - 397, 753, 397}},
  });
  EXPECT_EQ(f.Lbl_Titol.textColor, gui::kBlack);
  EXPECT_EQ(f.Timer1.interval, 2000);
  EXPECT_EQ(f.Timer2.interval, 1000);
}

TEST_F(DesignedLayoutTest, MainWindowMenusAndPopups) {
  ui::TMainForm& f = Start();
  const std::vector<MenuShape> bar = ShapeOf(f.MainMenu1);
  ASSERT_EQ(bar.size(), 3u);
  using Captions = std::vector<std::string>;
  EXPECT_EQ(bar[0].caption, "ファイル");
  EXPECT_EQ(bar[0].items, (Captions{"終了"}));
  EXPECT_EQ(bar[1].caption, "設定");
  EXPECT_EQ(bar[1].items, (Captions{"カテゴリー一覧を選択時、ビュー画面を表示する",
                                    "スタートアップに登録する", "スタートアップの登録を解除する"}));
  EXPECT_EQ(bar[2].caption, "ヘルプ");
  EXPECT_EQ(bar[2].items, (Captions{"バージョン情報", "バックアップ情報", "取扱説明書"}));

  EXPECT_EQ(CaptionsOf(f.PopupMenu1),
            (std::vector<std::string>{"コピー", "保存", "-", "このURLをブラウザで表示"}));
  EXPECT_EQ(CaptionsOf(f.PopupMenu2), (std::vector<std::string>{"コピー", "編集", "-", "削除"}));
  EXPECT_EQ(CaptionsOf(f.PopupMenu3), (std::vector<std::string>{"コピー", "保存", "-", "このURL"}));

  // The named items are the ones at those places, so each handler hangs on its caption.
  auto at = [](const gui::MenuItem& menu, std::size_t i, std::size_t j) {
    return menu.Items()[i]->Items()[j].get();
  };
  auto item = [](const gui::MenuItem& menu, std::size_t i) { return menu.Items()[i].get(); };
  const std::vector<std::pair<const gui::MenuItem*, const gui::MenuItem*>> named = {
      {f.N1, item(f.MainMenu1, 0)},  {f.N6, at(f.MainMenu1, 0, 0)},
      {f.N2, item(f.MainMenu1, 1)},  {f.N4, at(f.MainMenu1, 1, 0)},
      {f.N5, at(f.MainMenu1, 1, 1)}, {f.N18, at(f.MainMenu1, 1, 2)},
      {f.N3, item(f.MainMenu1, 2)},  {f.N7, at(f.MainMenu1, 2, 0)},
      {f.N17, at(f.MainMenu1, 2, 1)}, {f.N13, at(f.MainMenu1, 2, 2)},
      {f.N8, item(f.PopupMenu1, 0)}, {f.N9, item(f.PopupMenu1, 1)},
      {f.N11, item(f.PopupMenu1, 2)}, {f.URL1, item(f.PopupMenu1, 3)},
      {f.N10, item(f.PopupMenu2, 0)}, {f.N15, item(f.PopupMenu2, 1)},
      {f.N12, item(f.PopupMenu2, 2)}, {f.N14, item(f.PopupMenu2, 3)},
      {f.N16, item(f.PopupMenu3, 0)}, {f.N19, item(f.PopupMenu3, 1)},
      {f.N20, item(f.PopupMenu3, 2)}, {f.URL2, item(f.PopupMenu3, 3)},
  };
  for (std::size_t i = 0; i < named.size(); ++i) EXPECT_EQ(named[i].first, named[i].second) << i;
}

TEST_F(DesignedLayoutTest, EntryEditorControls) {
  ui::TMainForm& f = Start();
  f.wEditSw = u"NEW";
  ui::TEdtForm d(f);
  EXPECT_EQ(d.ClientSize(), (gui::Rect{0, 0, 1000, 670}));
  EXPECT_EQ(U8(d.Caption()), "タイトルを付けて保存");
  EXPECT_FALSE(d.resizable);
  EXPECT_TRUE(d.centerOnScreen);
  EXPECT_EQ(d.GetFont(), Tahoma(11));

  ExpectAsDesigned({
      {"Panel1", d.Panel1, {0, 0, 121, 673}, {}, {}, gui::Color{192, 220, 192}},
      {"lbl_Save", d.lbl_Save, {16, 15, kAny, kAny}, u"保存", Tahoma(15)},
      {"Img_Sv", d.Img_Sv, {9, 39, 49, 49}},
      {"Lbl_Cancel", d.Lbl_Cancel, {9, 112, kAny, kAny}, u"キャンセル", Tahoma(15)},
      {"Img_cancel", d.Img_cancel, {9, 136, 49, 49}},
      {"Img_Exit", d.Img_Exit, {9, 39, 49, 49}},
      {"Lbl_mente", d.Lbl_mente, {160, 24, kAny, kAny}, u"追加", Tahoma(16)},
      {"Label2", d.Label2, {160, 56, kAny, kAny}, u"カテゴリー", Tahoma(15)},
      {"ComboBox1", d.ComboBox1, {160, 80, 305, 26}, {}, Tahoma(15)},
      {"Label4", d.Label4, {488, 88, kAny, kAny},
       u"※カテゴリーは、追加入力或いは、▼ボタンより、選択して下さい。", Tahoma(15)},
      {"Label1", d.Label1, {160, 112, kAny, kAny}, u"タイトル", Tahoma(15)},
      {"Edt_Titol", d.Edt_Titol, {160, 136, 697, 27}, {}, Tahoma(16)},
      {"Label3", d.Label3, {164, 184, kAny, kAny}, u"内　容", Tahoma(15)},
      {"Memo1", d.Memo1, {160, 208, 809, 441}, {}, Tahoma(16)},
  });
  EXPECT_EQ(d.Lbl_mente.textColor, (gui::Color{255, 0, 0}));
}

}  // namespace
