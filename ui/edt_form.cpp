// The entry editor dialog: a new entry from the clipboard's text, an edit of the current
// saved entry, or a look at it.
#include "ui/edt_form.h"

#include <exception>

#include "core/entry_editor.h"
#include "core/saved_store.h"
#include "core/text_file.h"
#include "gui/application.h"
#include "ui/key_commands.h"
#include "ui/long_text.h"
#include "ui/main_form.h"

namespace ui {

TEdtForm* EdtForm = nullptr;

namespace {

constexpr gui::Color kMoneyGreen{192, 220, 192};
constexpr gui::Color kRed{255, 0, 0};

const Text kModeNew = u"NEW";
const Text kModeEdit = u"EDIT";
const Text kModeView = u"VIEW";
const Text kSaved = u"OK";
const Text kNoUses = u"00000";

// How long the dialog waits for the clipboard's text before it opens without it.
constexpr std::uint32_t kClipboardPatienceMs = 1000;

gui::Font Tahoma(int pixels) {
  gui::Font font;
  font.face = u"Tahoma";
  font.height = pixels;
  return font;
}

void PanelLabel(gui::Label& label, const char16_t* caption, int left, int top, int width) {
  label.SetBounds({left, top, width, 18});
  label.SetCaption(caption);
  label.SetFont(Tahoma(15));
  label.SetColor(kMoneyGreen);
}

void PanelImage(gui::Image& image, const char16_t* resource) {
  image.SetBounds({9, 39, 49, 49});
  image.resourceName = resource;
  image.SetColor(kMoneyGreen);
}

// Ctrl+S saves and Esc leaves, as the pictures do: Esc is 「キャンセル」, or 「戻る」 in the
// view mode, whichever shows.
std::vector<KeyCommand> EditorKeys(TEdtForm& e) {
  return {
      {gui::Ctrl(gui::Key::S), nullptr, &e.Img_Sv, {}},
      {gui::Plain(gui::Key::Escape), nullptr, &e.Img_cancel, {}},
      {gui::Plain(gui::Key::Escape), nullptr, &e.Img_Exit, {}},
  };
}

void FieldLabel(gui::Label& label, const char16_t* caption, int left, int top, int width) {
  label.SetBounds({left, top, width, 18});
  label.SetCaption(caption);
  label.SetFont(Tahoma(15));
  label.SetColor(gui::kWhite);
}

}  // namespace

TEdtForm::TEdtForm(TMainForm& owner_)
    : owner(owner_), contentFile_(owner_.services.fileSystem, owner_.services.ansi) {
  EdtForm = this;
  SetCaption(u"名前を付けて保存");
  SetClientSize(1000, 670);
  resizable = false;
  centerOnScreen = true;
  background = gui::kWhite;
  SetColor(gui::kWhite);
  SetFont(Tahoma(11));

  Panel1.SetBounds({0, 0, 121, 673});
  Panel1.SetColor(kMoneyGreen);
  PanelLabel(lbl_Save, u"保存", 16, 15, 32);
  // The captions show the hand like the buttons below them, but only the buttons act.
  lbl_Save.handCursor = true;
  PanelImage(Img_Sv, u"ICON_EDITOR_SAVE");
  Img_Sv.handCursor = true;
  PanelLabel(Lbl_Cancel, u"キャンセル", 9, 112, 75);
  Lbl_Cancel.handCursor = true;
  PanelImage(Img_cancel, u"ICON_EDITOR_CANCEL");
  Img_cancel.SetTop(136);
  Img_cancel.handCursor = true;
  // Lies where the save button is; only the view mode shows it.
  PanelImage(Img_Exit, u"ICON_EDITOR_BACK");
  Img_Exit.transparent = true;
  Img_Exit.Hide();
  // A screen reader reads each button by the caption above it.
  Img_Sv.captionLabel = &lbl_Save;
  Img_Exit.captionLabel = &lbl_Save;
  Img_cancel.captionLabel = &Lbl_Cancel;

  Lbl_mente.SetBounds({160, 24, 32, 19});
  Lbl_mente.SetFont(Tahoma(16));
  Lbl_mente.textColor = kRed;
  Lbl_mente.SetColor(gui::kWhite);
  FieldLabel(Label2, u"カテゴリー", 160, 56, 75);
  ComboBox1.SetBounds({160, 80, 305, 26});
  gui::NameAfter(ComboBox1, Label2);
  ComboBox1.SetFont(Tahoma(15));
  // Category, title and text are typed in Japanese: the input method opens in hiragana.
  ComboBox1.imeMode = gui::ImeMode::Hiragana;
  FieldLabel(Label4, u"※カテゴリーは、追加入力或いは、▼ボタンより、選択して下さい。", 488, 88,
             465);
  FieldLabel(Label1, u"タイトル", 160, 112, 60);
  Edt_Titol.SetBounds({160, 136, 697, 27});
  gui::NameAfter(Edt_Titol, Label1);
  Edt_Titol.SetFont(Tahoma(16));
  Edt_Titol.imeMode = gui::ImeMode::Hiragana;
  FieldLabel(Label3, u"内　容", 164, 184, 45);
  Memo1.SetBounds({160, 208, 809, 441});
  gui::NameAfter(Memo1, Label3);
  Memo1.SetFont(Tahoma(16));
  Memo1.imeMode = gui::ImeMode::Hiragana;
  Memo1.SetColor(gui::kWhite);
  // Both scroll bars: long lines stay whole, as they are stored.
  Memo1.wordWrap = false;
  Memo1.verticalScrollBar = true;
  // Saving writes the whole text all the same.
  ShowStartOfLongTexts(Memo1);

  Img_Sv.onClick = [this] { gui::Guarded([this] { Img_SvClick(); }); };
  Img_cancel.onClick = [this] { gui::Guarded([this] { Img_cancelClick(); }); };
  Img_Exit.onClick = [this] { gui::Guarded([this] { Img_ExitClick(); }); };
  onClose = [this] { FormClose(); };
  ShowKeysOnControls(EditorKeys(*this));
  onKey = [this](const gui::KeyStroke& stroke, gui::Control* focus) {
    return RunKeyCommand(EditorKeys(*this), stroke, focus);
  };

  // An error while filling the controls is reported; the dialog opens all the same.
  gui::Guarded([this] { FormCreate(); });
  opening_ = false;
  gui::Realize(*this);
}

TEdtForm::~TEdtForm() {
  if (EdtForm == this) EdtForm = nullptr;
}

void TEdtForm::FormCreate() {
  platform::Services& services = owner.services;
  const Text& mode = owner.wEditSw;

  // A new entry offers the clipboard's text. An entry's own text replaces it, so the
  // clipboard is read for EDIT and VIEW only when that text is missing: a read still
  // pending would make the entry's text fail to reach the clipboard.
  if (mode != kModeEdit && mode != kModeView) TakeClipboardText();

  ComboBox1.SetItems(owner.Memo_Categori.Lines());
  ComboBox1.SetText(Text());

  if (mode == kModeNew) {
    Lbl_mente.SetCaption(u"追加");
    SetCaption(u"タイトルを付けて保存");
  }
  if (mode == kModeView) {
    SetCaption(u"内容の確認");
    Lbl_mente.SetCaption(Text());
    ComboBox1.SetEnabled(false);
    Edt_Titol.SetEnabled(false);
    Label4.Hide();
    Lbl_Cancel.Hide();
    Img_cancel.Hide();
    Img_Sv.Hide();
    lbl_Save.SetCaption(u"戻る");
    Img_Exit.Show();
  }
  if (mode == kModeEdit) {
    Lbl_mente.SetCaption(u"編集");
    SetCaption(u"保存した内容の編集");
  }
  if (mode != kModeEdit && mode != kModeView) return;

  const core::CellTable& table = owner.StringGrid2.Table();
  editRow_ = table.CurrentRow();
  if (editRow_ < 1 || editRow_ >= table.RowCount()) {
    // No entry row is current: nothing could be stored under it.
    editRow_ = 0;
    Img_Sv.SetEnabled(false);
    TakeClipboardText();
    return;
  }
  ComboBox1.SetText(table.Cell(core::kSavedColCategory, editRow_));
  Edt_Titol.SetText(table.Cell(core::kSavedColTitle, editRow_));
  owner.wEditNo = table.Cell(core::kSavedColCreated, editRow_);
  // An entry without a key has no content file of its own ("h.dat" would be shared).
  if (owner.wEditNo.empty()) {
    TakeClipboardText();
    return;
  }
  const Text path = owner.DataPath + core::ContentFileName(owner.wEditNo);
  if (!services.fileSystem.FileExists(path)) {
    TakeClipboardText();
    return;
  }
  try {
    contentFile_.LoadFromFile(path);
  } catch (...) {
    // Saving now would replace the entry's text with the clipboard's.
    Img_Sv.SetEnabled(false);
    throw;
  }
  owner.TellKeptOriginal(contentFile_, path);
  Memo1.SetText(contentFile_.GetText());
  services.clipboard.WriteText(Memo1.GetText());
}

void TEdtForm::TakeClipboardText() {
  Memo1.SetText(Text());
  std::weak_ptr<bool> alive = alive_;
  owner.clipboardReader.StartWhenFree(
      platform::ClipboardReader::ReadOnce, [this, alive](platform::ClipboardReading reading) {
        if (alive.expired()) return;
        ClipboardTextArrived(std::move(reading));
      });
  owner.clipboardReader.WaitFor(kClipboardPatienceMs);
}

void TEdtForm::ClipboardTextArrived(platform::ClipboardReading reading) {
  if (!reading) {
    // A clipboard held by another program leaves the box empty; the rest still opens.
    // Told only while the dialog opens: later the user is already at work in it.
    if (opening_) gui::ReportException(core::AppError(u"クリップボードを開けません"));
    return;
  }
  // The user may have typed into the box meanwhile: that is kept.
  if (!Memo1.GetText().empty()) return;
  Memo1.SetText(std::move(reading->text));
}

bool TEdtForm::KeyTaken(const Text& key) const {
  const core::CellTable& table = owner.StringGrid2.Table();
  for (int row = 1; row < table.RowCount(); ++row)
    if (table.Cell(core::kSavedColCreated, row) == key) return true;
  // Content files outlive their entries: a deleted entry's file is not to be overwritten.
  return owner.services.fileSystem.FileExists(owner.DataPath + core::ContentFileName(key));
}

void TEdtForm::Img_SvClick() {
  const Text mode = owner.wEditSw;
  if (mode != kModeNew && mode != kModeEdit) {
    Close();
    return;
  }

  const Text category = ComboBox1.GetText();
  const Text title = Edt_Titol.GetText();
  if (auto refusal = core::CheckEntryFields(category, title, Memo1.GetText())) {
    gui::ShowInformation(refusal->message);
    switch (refusal->field) {
      case core::EntryField::Category: ComboBox1.SetFocus(); break;
      case core::EntryField::Title: Edt_Titol.SetFocus(); break;
      case core::EntryField::Text: Memo1.SetFocus(); break;
    }
    return;
  }

  core::CellTable& table = owner.StringGrid2.Table();
  const bool isNew = mode == kModeNew;
  int row = editRow_;
  Text key = isNew ? Text() : table.Cell(core::kSavedColCreated, row);
  if (isNew) {
    // The empty placeholder row takes the first entry; a row that holds an entry is never
    // taken over, whatever the count says.
    const bool placeholderFree = owner.tbl_Cnt == 0 && table.RowCount() >= 2 &&
                                 table.Cell(core::kSavedColCategory, 1).empty() &&
                                 table.Cell(core::kSavedColCreated, 1).empty();
    row = placeholderFree ? 1 : table.RowCount();
  }
  if (key.empty())
    key = core::UniqueCreatedKey(owner.services.clock.Now(),
                                 [this](const Text& k) { return KeyTaken(k); });
  owner.wEditNo = key;

  // The file first: when it cannot be written the table stays as it was, so the index
  // never lists an entry whose text was not stored.
  core::LineBuffer& writer = contentFile_;
  writer.SetText(Memo1.GetText());
  writer.SaveToFile(owner.DataPath + core::ContentFileName(key));

  if (isNew) {
    if (row >= table.RowCount()) table.SetRowCount(row + 1);
    table.SetCell(core::kSavedColUses, row, kNoUses);
    table.SetCell(core::kSavedColMark, row, Text());
    table.SetCell(core::kSavedColSort, row, Text());
  }
  table.SetCell(core::kSavedColCategory, row, category);
  table.SetCell(core::kSavedColTitle, row, title);
  table.SetCell(core::kSavedColCreated, row, key);

  gui::ShowInformation(u"保存が完了しました。");
  owner.wEditSw = kSaved;
  Close();
}

void TEdtForm::Img_cancelClick() { Close(); }

void TEdtForm::Img_ExitClick() { Close(); }

void TEdtForm::FormClose() {
  // The caller's scope destroys the dialog once its modal loop has ended.
  if (EdtForm == this) EdtForm = nullptr;
}

}  // namespace ui
