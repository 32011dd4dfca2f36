// The version information dialog: the current version over the banner and the history.
#include "ui/ver_form.h"

#include <vector>

namespace ui {

TVerForm* VerForm = nullptr;

namespace {

struct VersionRow {
  const char16_t* version;
  const char16_t* description;
};

// Newest first.
constexpr VersionRow kVersionHistory[] = {
    {u"Ver1.00.0002", u"履歴検索機能追加"},
    {u"Ver1.00.0001", u"初版"},
};

// The list that receives each version as a comma-separated text, and the row added last.
std::vector<core::Text> LSL;
gui::ListView::Item* Lst = nullptr;

// A comma text: items separated by commas or blanks; "..." quotes an item ("" inside
// stands for one quote).
std::vector<core::Text> SplitCommaText(core::TextView text) {
  std::vector<core::Text> items;
  std::size_t i = 0;
  auto isBlank = [](char16_t c) { return c > 0 && c <= u' '; };
  while (i < text.size() && isBlank(text[i])) ++i;
  while (i < text.size()) {
    core::Text item;
    if (text[i] == u'"') {
      ++i;
      while (i < text.size()) {
        if (text[i] == u'"') {
          if (i + 1 < text.size() && text[i + 1] == u'"') {
            item += u'"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        item += text[i++];
      }
    } else {
      while (i < text.size() && text[i] != u',' && !isBlank(text[i])) item += text[i++];
    }
    items.push_back(std::move(item));
    while (i < text.size() && isBlank(text[i])) ++i;
    if (i < text.size() && text[i] == u',') {
      ++i;
      while (i < text.size() && isBlank(text[i])) ++i;
      if (i == text.size()) items.emplace_back();  // a final comma ends an empty item
    }
  }
  return items;
}

gui::Font PGothic15() {
  gui::Font font;
  font.face = u"ＭＳ Ｐゴシック";
  font.height = 15;
  font.japaneseCharset = true;
  return font;
}

}  // namespace

TVerForm::TVerForm() {
  SetCaption(u"バージョン情報");
  SetClientSize(502, 490);
  centerOnScreen = true;
  resizable = false;
  background = gui::kWhite;
  SetColor(gui::kWhite);
  gui::Font tahoma;
  tahoma.face = u"Tahoma";
  tahoma.height = 11;
  SetFont(tahoma);

  // The banner reaches past the right edge and is clipped there.
  Image1.SetBounds({8, 32, 577, 273});
  Image1.resourceName = u"VERSION_BANNER";
  Image1.stretch = true;
  Bevel2.SetBounds({16, 432, 457, 9});
  Bevel2.SetColor(gui::kWhite);
  Bevel2.bottomRule = true;
  Image2.SetBounds({32, 288, 113, 121});
  Image2.resourceName = u"PEN";
  Image2.SetColor(gui::kWhite);
  for (gui::Label* label : {&Label1, &Label4}) {
    label->SetFont(PGothic15());
    label->transparent = true;
  }
  Label1.SetBounds({216, 208, 84, 15});
  Label1.SetCaption(u"Ver1.00.0002");
  Label4.SetBounds({320, 208, 120, 15});
  Label4.SetCaption(u"履歴検索機能追加");
  ListView1.SetBounds({176, 232, 297, 89});
  ListView1.SetFont(tahoma);
  ListView1.AddColumn(u"バージョン", 64);
  ListView1.AddColumn(u"内容", 64);

  onClose = [this] { FormClose(); };
  FormCreate();
}

void TVerForm::FormCreate() {
  ListView1.ClearItems();
  LSL.clear();
  for (const VersionRow& row : kVersionHistory) {
    LSL = SplitCommaText(row.version);
    Lst = &ListView1.AddItem();
    const int index = static_cast<int>(ListView1.Items().size()) - 1;
    ListView1.SetItemCaption(index, LSL.empty() ? core::Text() : LSL.front());
    ListView1.AddSubItem(index, row.description);
  }
  ListView1.SetColumnWidth(0, 80);
  ListView1.SetColumnWidth(1, 200);
}

void TVerForm::FormClose() {
  // The opener destroys the dialog once its modal loop has ended.
  Lst = nullptr;
  if (VerForm == this) VerForm = nullptr;
}

}  // namespace ui
