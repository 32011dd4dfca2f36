// The main window: its controls, start-up, views, menus, resize rule and cell painting.
#include "ui/main_form.h"

#include <algorithm>
#include <functional>
#include <utility>

#include "core/backup.h"
#include "core/settings.h"
#include "gui/accessible_text.h"
#include "gui/announcement.h"
#include "ui/long_text.h"
#include "ui/ver_form.h"

namespace ui {

namespace {

constexpr gui::Color kSkyBlue{166, 202, 240};
constexpr gui::Color kSilver{192, 192, 192};
constexpr gui::Color kMoneyGreen{192, 220, 192};
constexpr gui::Color kCream{255, 251, 240};
constexpr gui::Color kMagenta{255, 0, 255};

// The clipboard may be held open by another program for a moment (a clipboard manager
// reads each change): the start-up text is taken as empty only when it stays held for
// about half a second, tried every 50 ms.
constexpr std::uint32_t kClipboardPatienceMs = 500;
constexpr std::uint32_t kClipboardRetryMs = 50;

gui::Font Tahoma(int pixels) {
  gui::Font font;
  font.face = u"Tahoma";
  font.height = pixels;
  return font;
}

gui::Font PGothic(int pixels) {
  gui::Font font;
  font.face = u"ＭＳ Ｐゴシック";
  font.height = pixels;
  font.japaneseCharset = true;
  return font;
}

void Place(gui::Control& control, int left, int top, int width, int height) {
  control.SetBounds({left, top, width, height});
}

// An image button: a 48 x 48 picture drawn over its panel's colour, a pointing hand over it.
void ImageButton(gui::Image& image, const char16_t* resource, gui::Color panel, int left,
                 int top, int width, int height) {
  Place(image, left, top, width, height);
  image.resourceName = resource;
  image.handCursor = true;
  image.SetColor(panel);
}

void LabelText(gui::Label& label, const char16_t* caption, gui::Font font, gui::Color panel,
             int left, int top, int width, int height) {
  Place(label, left, top, width, height);
  label.SetCaption(caption);
  label.SetFont(std::move(font));
  label.SetColor(panel);
}

void Separator(gui::Shape& shape, gui::Color panel, int left, int top, int width, int height) {
  Place(shape, left, top, width, height);
  shape.SetColor(panel);
}

// A negative size that the resize rule computes for a small window becomes zero.
int NotNegative(int value) { return std::max(value, 0); }

// The folder part of a path (up to its last separator), ending in a backslash.
Text FolderOf(const Text& path) {
  const auto last = path.find_last_of(u"\\/:");
  Text folder = last == Text::npos ? Text() : path.substr(0, last + 1);
  if (folder.empty() || (folder.back() != u'\\' && folder.back() != u'/')) folder += u'\\';
  return folder;
}

Text ReasonOf(const std::exception& error) {
  if (const auto* app = dynamic_cast<const core::AppError*>(&error)) return app->message();
  return core::FromUtf8(error.what());
}

// Runs on the reading thread.
platform::ClipboardReading ReadStartupClipboard(platform::Clipboard& clipboard,
                                                platform::Clock& clock,
                                                const std::function<bool()>& abandoned) {
  const std::uint32_t start = clock.TickCount();
  for (;;) {
    if (auto content = platform::ClipboardReader::ReadOnce(clipboard, abandoned)) return content;
    // Unsigned difference: right across the wrap of the counter.
    if (abandoned() || clock.TickCount() - start >= kClipboardPatienceMs) return std::nullopt;
    clock.Sleep(kClipboardRetryMs);
  }
}

}  // namespace

// A data file that could not be read stays as it is: the exit does not write over it.
void ReportUnreadableFile(const Text& what, const Text& path, const Text& reason,
                          const Text& more) {
  gui::ShowMessage(what + u"を読み込めませんでした。\r\n" + path + u"\r\n" + reason +
                   u"\r\n\r\nこのファイルは終了時に上書きされません。" + more);
}

TMainForm::TMainForm(platform::Services& services_)
    : services(services_),
      Memo_Categori(services_.fileSystem, services_.ansi),
      Memo_wk(services_.fileSystem, services_.ansi) {
  BuildControls();
  BuildMenus();
  WireEvents();
  // An error in the creation handler is reported; the remaining steps are skipped and the
  // window opens all the same.
  gui::Guarded([this] { FormCreate(); });
}

TMainForm* MainForm = nullptr;

void TMainForm::TellKeptOriginal(const core::LineBuffer& buffer, const Text& path) {
  if (const std::optional<Text>& kept = buffer.KeptOriginal())
    gui::ShowMessage(core::KeptOriginalNotice(path, *kept));
}

TMainForm::~TMainForm() = default;

void TMainForm::BuildControls() {
  SetCaption(gui::kAppTitle);
  SetClientSize(1072, 624);
  resizable = true;
  background = gui::kWhite;
  SetColor(gui::kWhite);
  SetFont(Tahoma(11));

  // ---- navigation panel ----
  Place(Panel1, 0, 0, 140, 624);
  Panel1.SetColor(kSkyBlue);
  const gui::Color p1 = kSkyBlue;
  ImageButton(img_Log, u"ICON_LOG", p1, 7, 16, 53, 49);
  LabelText(Lbl_Log, u"履　歴", Tahoma(15), p1, 66, 32, 40, 18);
  Separator(Shape3, p1, 7, 71, 122, 1);
  LabelText(Label1, u"保存内容", Tahoma(15), p1, 7, 93, 60, 18);
  ImageButton(Img_List, u"ICON_LIST", p1, 7, 117, 53, 43);
  LabelText(Lbl_List, u"カテゴリー順", Tahoma(13), p1, 66, 130, 70, 16);
  ImageButton(Img_new, u"ICON_NEW", p1, 7, 166, 53, 47);
  LabelText(Lbl_New, u"最近保存", Tahoma(13), p1, 66, 177, 60, 16);
  ImageButton(Img_High, u"ICON_HIGH", p1, 7, 219, 49, 49);
  LabelText(Lbl_High, u"よく使う順", Tahoma(13), p1, 62, 239, 58, 16);
  Separator(Shape1, p1, 7, 279, 122, 1);
  ImageButton(Img_Sv, u"ICON_SAVE", p1, 8, 300, 52, 48);
  LabelText(lbl_Save, u"保　存", Tahoma(15), p1, 66, 317, 40, 18);
  ImageButton(Img_Edit, u"ICON_EDIT", p1, 7, 346, 53, 52);
  Img_Edit.SetEnabled(false);
  LabelText(Lbl_Edit, u"編　集", Tahoma(15), p1, 66, 362, 40, 18);
  Lbl_Edit.SetEnabled(false);
  ImageButton(Img_Del, u"ICON_DELETE", p1, 7, 396, 53, 45);
  Img_Del.SetEnabled(false);
  LabelText(Lbl_Del, u"削　除", Tahoma(15), p1, 66, 412, 40, 18);
  Lbl_Del.SetEnabled(false);
  Separator(Shape2, p1, 7, 480, 122, 1);
  ImageButton(Img_Clrer, u"ICON_CLEAR_HISTORY", p1, 7, 504, 53, 50);
  LabelText(Lbl_Clear, u"履歴クリア", Tahoma(13), p1, 66, 525, 60, 16);
  ImageButton(Img_Clip, u"ICON_CLEAR_CLIPBOARD", p1, 7, 552, 54, 48);
  LabelText(Lbl_Clip, u"クリップ", Tahoma(11), p1, 67, 568, 31, 13);
  // A screen reader reads each button by the caption beside it.
  using Captioned = std::pair<gui::Image*, const gui::Label*>;
  for (auto [image, label] : std::initializer_list<Captioned>{
           {&img_Log, &Lbl_Log}, {&Img_List, &Lbl_List}, {&Img_new, &Lbl_New},
           {&Img_High, &Lbl_High}, {&Img_Sv, &lbl_Save}, {&Img_Edit, &Lbl_Edit},
           {&Img_Del, &Lbl_Del}, {&Img_Clrer, &Lbl_Clear}, {&Img_Clip, &Lbl_Clip}})
    image->captionLabel = label;

  // ---- view panel: four indicators share one place, one shows the current view ----
  Place(Panel2, 140, 0, 200, 624);
  Panel2.SetColor(kSilver);
  const gui::Color p2 = kSilver;
  ImageButton(Img_Log1, u"ICON_LOG", p2, 6, 16, 53, 49);
  ImageButton(Img_List1, u"ICON_LIST", p2, 9, 16, 53, 43);
  ImageButton(Img_new1, u"ICON_NEW", p2, 6, 12, 53, 47);
  ImageButton(Img_High1, u"ICON_HIGH", p2, 6, 15, 49, 49);
  // The indicator of the frequently-used view does nothing when clicked.
  Img_High1.handCursor = false;
  Img_List1.Hide();
  Img_new1.Hide();
  Img_High1.Hide();
  LabelText(Lbl_Titol, u"履　歴", Tahoma(16), p2, 60, 31, 43, 19);
  Lbl_Titol.textColor = gui::kBlack;
  // The indicator shown is read as the view's title.
  for (gui::Image* indicator : {&Img_Log1, &Img_List1, &Img_new1, &Img_High1})
    indicator->captionLabel = &Lbl_Titol;
  Separator(Shape4, p2, 6, 71, 184, 2);
  Place(ListBox1, 20, 79, 161, 537);
  ListBox1.SetColor(kSilver);
  ListBox1.SetFont(Tahoma(13));
  // It shows only in the category-order view, whose title above it reads as Lbl_List.
  gui::NameAfter(ListBox1, Lbl_List);
  ListBox1.Hide();

  // ---- main area ----
  Place(Memo_Board, 346, 0, 712, 178);
  Memo_Board.SetFont(PGothic(16));
  Memo_Board.SetColor(gui::kWhite);
  Memo_Board.wordWrap = true;
  Memo_Board.verticalScrollBar = true;
  // The monitor, the history and a click on a row keep the whole text all the same.
  ShowStartOfLongTexts(Memo_Board);
  // No label stands beside the board; readers call it by the manual's word for it.
  Memo_Board.SetAccessibleName(u"表示欄");
  // First in the tab order: the board has the focus when the window opens.
  Memo_Board.SetFocus();

  LabelText(Label2, u"履歴の検索", Tahoma(15), gui::kWhite, 354, 195, 72, 18);
  Label2.Hide();
  Place(Edt_Serch, 443, 191, 462, 27);
  Edt_Serch.SetFont(Tahoma(16));
  gui::NameAfter(Edt_Serch, Label2);
  Edt_Serch.Hide();
  struct Glyph {
    gui::SpeedButton& button;
    const char16_t* resource;
    const char16_t* hint;
    gui::Rect bounds;
  };
  for (const Glyph& g : {Glyph{SpeedB_Serch, u"GLYPH_SEARCH", u"履歴の検索", {911, 187, 58, 31}},
                         Glyph{SpeedB_Clr, u"GLYPH_CLEAR", u"クリア", {976, 184, 25, 34}},
                         Glyph{SpeedB_All, u"GLYPH_ALL", u"履歴の全件表示", {1006, 188, 58, 30}}}) {
    g.button.SetBounds(g.bounds);
    g.button.resourceName = g.resource;
    g.button.hint = g.hint;
    g.button.SetColor(gui::kWhite);
    g.button.Hide();
  }
  SpeedB_All.SetEnabled(false);

  Place(StringGrid1, 346, 224, 718, 392);
  Place(StringGrid2, 346, 224, 371, 162);
  Place(StringGrid3, 346, 224, 193, 145);
  for (gui::Grid* grid : {&StringGrid1, &StringGrid2, &StringGrid3}) {
    grid->SetFont(Tahoma(15));
    grid->defaultRowHeight = 24;
    grid->Hide();
  }
  StringGrid1.tabStop = false;
  StringGrid2.tabStop = false;
  // Screen readers call each table by the heading a sighted user reads: the view title,
  // or the search (set when one is made).
  StringGrid1.SetAccessibleName(gui::CaptionReading(Lbl_Titol.Caption()));
  StringGrid3.SetAccessibleName(Label2.Caption());

  Place(Img_Logo, 327, 219, 753, 397);
  Img_Logo.resourceName = u"SPLASH";
  Img_Logo.SetColor(gui::kWhite);

  Memo_Categori.SetText(Text());
  Memo_wk.SetText(Text());

  Timer1.interval = 2000;
  Timer1.SetEnabled(false);
  Timer2.interval = 1000;
  Timer2.SetEnabled(false);
  timers = {&Timer1, &Timer2};
}

void TMainForm::BuildMenus() {
  N1 = &MainMenu1.Add(u"ファイル");
  N6 = &N1->Add(u"終了");
  N2 = &MainMenu1.Add(u"設定");
  N4 = &N2->Add(u"カテゴリー一覧を選択時、ビュー画面を表示する");
  N4->SetChecked(true);  // as designed; start-up sets it from the settings file
  N5 = &N2->Add(u"スタートアップに登録する");
  N18 = &N2->Add(u"スタートアップの登録を解除する");
  N3 = &MainMenu1.Add(u"ヘルプ");
  N7 = &N3->Add(u"バージョン情報");
  N17 = &N3->Add(u"バックアップ情報");
  N13 = &N3->Add(u"取扱説明書");
  menu = &MainMenu1;

  N8 = &PopupMenu1.Add(u"コピー");
  N9 = &PopupMenu1.Add(u"保存");
  N11 = &PopupMenu1.Add(u"-");
  URL1 = &PopupMenu1.Add(u"このURLをブラウザで表示");

  N10 = &PopupMenu2.Add(u"コピー");
  N15 = &PopupMenu2.Add(u"編集");
  N12 = &PopupMenu2.Add(u"-");
  N14 = &PopupMenu2.Add(u"削除");

  N16 = &PopupMenu3.Add(u"コピー");
  N19 = &PopupMenu3.Add(u"保存");
  N20 = &PopupMenu3.Add(u"-");
  URL2 = &PopupMenu3.Add(u"このURL");

  StringGrid1.popup = &PopupMenu1;
  StringGrid2.popup = &PopupMenu2;
  StringGrid3.popup = &PopupMenu3;
}

void TMainForm::WireEvents() {
  // Every handler runs guarded: an escaping error becomes the application's error report.
  auto handler = [this](void (TMainForm::*method)()) {
    return std::function<void()>([this, method] { gui::Guarded([this, method] { (this->*method)(); }); });
  };

  img_Log.onClick = handler(&TMainForm::img_LogClick);
  Img_Log1.onClick = handler(&TMainForm::img_LogClick);
  Img_Clrer.onClick = handler(&TMainForm::Img_ClrerClick);
  Img_Clip.onClick = handler(&TMainForm::Img_ClipClick);

  SpeedB_Serch.onClick = handler(&TMainForm::SpeedB_SerchClick);
  SpeedB_Clr.onClick = handler(&TMainForm::SpeedB_ClrClick);
  SpeedB_All.onClick = handler(&TMainForm::SpeedB_AllClick);

  StringGrid1.Table().onClick = handler(&TMainForm::StringGrid1Click);
  StringGrid3.Table().onClick = handler(&TMainForm::StringGrid3Click);
  for (gui::Grid* grid : {&StringGrid1, &StringGrid2, &StringGrid3}) {
    grid->onDrawCell = [this, grid](int col, int row, const gui::Rect& cell, gui::Canvas& canvas) {
      DrawCell(*grid, col, row, cell, canvas);
    };
  }

  Timer1.onTimer = handler(&TMainForm::Timer1Timer);
  Timer2.onTimer = handler(&TMainForm::Timer2Timer);

  N6->onClick = handler(&TMainForm::N6Click);
  N4->onClick = handler(&TMainForm::N4Click);
  N7->onClick = handler(&TMainForm::N7Click);
  N17->onClick = handler(&TMainForm::N17Click);
  N13->onClick = handler(&TMainForm::N13Click);
  N8->onClick = handler(&TMainForm::N8Click);
  URL1->onClick = handler(&TMainForm::URL1Click);
  N16->onClick = handler(&TMainForm::N16Click);
  URL2->onClick = handler(&TMainForm::URL3Click);

  onShow = handler(&TMainForm::FormShow);
  onResize = handler(&TMainForm::FormResize);
  // A write error during the exit is reported and keeps the window open.
  onCloseQuery = [this](bool& canClose) {
    try {
      FormCloseQuery(canClose);
    } catch (const std::exception& error) {
      canClose = false;
      gui::ReportException(error);
    }
  };
  onQueryEndSession = [this] {
    try {
      return WMQueryEndSession();
    } catch (const std::exception& error) {
      gui::ReportException(error);
      return false;
    }
  };
  onEndSession = [this] { WMEndSession(); };

  WireSavedEntryEvents();
  WireStartupRegistrationEvents();
  WireKeys();
}

void TMainForm::FormCreate() {
  // Until its loader has read a data file, the exit must not write over that file.
  historyLoadFailed = true;
  indexLoadFailed = true;

  // 1. Dates are formatted by core/dates with "/" and "yyyy/mm/dd" fixed, whatever the
  //    user's regional settings say, so there is no process-wide format to change.

  // 2.
  tbl_Cnt = 0;
  wSortSw = u"0";

  // 3. The text on the clipboard now is never recorded by the monitor. It is read off the
  //    window's thread, since a program may take long to hand over its copy; start-up goes
  //    on meanwhile, and the monitor records nothing until the text has arrived.
  clipboardBaselineKnown = false;
  clipboardReader.Start(
      [&clock = services.clock](platform::Clipboard& clipboard,
                                const std::function<bool()>& abandoned) {
        return ReadStartupClipboard(clipboard, clock, abandoned);
      },
      [this](platform::ClipboardReading reading) {
        oldStr = reading ? std::move(reading->text) : Text();
        clipboardBaselineKnown = true;
      });

  // 4. Geometry is applied value by value; each change of size runs the resize rule.
  ReadSettings();

  // 5.
  PlaceLogo();

  // 6. A value that is neither a number nor True/False leaves the option off.
  N4->SetChecked(core::ParseProfileBoolean(Ini_CheckView).value_or(false));

  // 7.
  Lbl_New.SetCaption(u"最近保存\r\nした順");
  Lbl_Clip.SetCaption(u"クリップ\r\nボードクリア");

  // 8. Everything lives beside the executable, never in the working folder.
  AppPath = FolderOf(services.fileSystem.ExecutablePath());
  DataPath = AppPath + u"Data\\";
  Bkup1Path = AppPath + u"Bkup1\\";
  Bkup2Path = AppPath + u"Bkup2\\";

  // 9.
  Text notCreated;
  for (const Text* folder : {&DataPath, &Bkup1Path, &Bkup2Path}) {
    if (services.fileSystem.FolderExists(*folder)) continue;
    if (!services.fileSystem.CreateFolder(*folder) && !services.fileSystem.FolderExists(*folder))
      notCreated += u"\r\n" + *folder;
  }
  if (!notCreated.empty()) {
    gui::ShowMessage(u"次のフォルダを作成できませんでした。" + notCreated +
                     u"\r\n\r\nソラミツのフォルダに書き込めるか確認してください。");
  }
  // The temporary files of a write that was killed half-way may hold texts cleared since;
  // nothing reads them, and the backup must not carry them on.
  core::RemoveLeftoverTemporaries(services.fileSystem, DataPath);

  // 10.
  try {
    Log_Load();
    historyLoadFailed = false;
  } catch (const std::exception& error) {
    historyUnreadableReason = ReasonOf(error);
  }
  RecoverJournal();  // reports a history file that could not be read

  // 11.
  SetupSavedTable();
  StringGrid2.SetWidth(StringGrid1.Width());
  StringGrid2.SetHeight(StringGrid1.Height());

  // 12.
  try {
    HozonData_Load();
    indexLoadFailed = false;
  } catch (const std::exception& error) {
    ReportUnreadableFile(u"保存内容の一覧ファイル", DataPath + u"hozon.dat", ReasonOf(error));
    // Entries that could not be read are not offered.
    EnableSavedCommands(false);
  }
  // Without category choices the rest of start-up (the monitor above all) still runs.
  try {
    Sub_Categori();
  } catch (const std::exception& error) {
    if (!indexLoadFailed) gui::ReportException(error);
  }

  // 13. In the history view no saved entry is chosen.
  Lbl_Edit.SetEnabled(false);
  Lbl_Del.SetEnabled(false);
  Img_Edit.SetEnabled(false);
  Img_Del.SetEnabled(false);

  // 14. The newest history text.
  const core::CellTable& history = StringGrid1.Table();
  Memo_Board.SetText(history.RowCount() > 1 ? history.Cell(1, 1) : Text());

  // 15. The clipboard monitor; its first tick comes a second later.
  Timer2.SetEnabled(true);

  // 16.
  SetupExtractTable();
}

void TMainForm::FormShow() {
  SetCaption(gui::kAppTitle);
  Timer1.SetEnabled(true);
}

void TMainForm::Timer1Timer() {
  // The end of the logo splash; it happens once.
  Timer1.SetEnabled(false);
  StringGrid1.Show();
  Img_Logo.Hide();
  Label2.Show();
  Edt_Serch.Show();
  SpeedB_Serch.Show();
  SpeedB_Clr.Show();
  SpeedB_All.Show();
  SpeedB_All.SetEnabled(false);
}

void TMainForm::img_LogClick() {
  Lbl_Titol.SetCaption(u"履　歴");
  wSortSw = u"0";
  ListBox1.Hide();
  StringGrid1.Show();
  StringGrid2.Hide();
  Lbl_Edit.SetEnabled(false);
  Lbl_Del.SetEnabled(false);
  Img_Edit.SetEnabled(false);
  Img_Del.SetEnabled(false);
  Img_Log1.Show();
  Img_List1.Hide();
  Img_new1.Hide();
  Img_High1.Hide();
  Label2.Show();
  Edt_Serch.Show();
  SpeedB_Serch.Show();
  SpeedB_Clr.Show();
  SpeedB_All.Show();
  SpeedB_All.SetEnabled(false);
  Edt_Serch.SetText(Text());
  gui::Announce(*this, gui::CountReading(gui::RecordCount(StringGrid1.Table())));
}

void TMainForm::EnableSavedCommands(bool on) {
  for (gui::Control* control : std::initializer_list<gui::Control*>{
           &Lbl_Edit, &Lbl_Del, &Img_Edit, &Img_Del, &Lbl_List, &Lbl_New, &Lbl_High, &Img_List,
           &Img_High, &Img_new})
    control->SetEnabled(on);
  for (gui::MenuItem* item : {N10, N14, N15}) item->SetEnabled(on);
}

void TMainForm::N4Click() { N4->SetChecked(!N4->Checked()); }

void TMainForm::N6Click() { Close(); }

void TMainForm::N7Click() {
  auto dialog = std::make_unique<TVerForm>();
  VerForm = dialog.get();
  gui::Realize(*dialog);
  dialog->ShowModal();
  // Closing cleared VerForm already; the dialog goes with this scope.
  VerForm = nullptr;
}

void TMainForm::N13Click() {
  const Text manual = AppPath + u"soramitsu.pdf";
  // Without this notice a missing manual or a missing PDF viewer would look like a dead menu.
  if (!services.shell.Open(NativeHandle(), manual)) {
    gui::ShowMessage(u"取扱説明書を開けませんでした。\r\n" + manual +
                     u"\r\n\r\nファイルがあるか、PDF を表示できるアプリが入っているかを確認してください。");
  }
}

void TMainForm::FormResize() {
  const int W = Width();
  const int H = Height();
  if (W <= 500 && H <= 200) return;
  Panel1.SetHeight(NotNegative(H));
  Panel2.SetHeight(NotNegative(H));
  StringGrid1.SetHeight(NotNegative(H - Memo_Board.Height() - 110));
  StringGrid1.SetWidth(NotNegative(W - Panel1.Width() - Panel2.Width() - 30));
  Memo_Board.SetWidth(StringGrid1.Width());
  StringGrid2.SetHeight(StringGrid1.Height());
  StringGrid2.SetWidth(StringGrid1.Width());
  StringGrid1.Table().SetColWidth(1, NotNegative(StringGrid1.Width() - 190));
  StringGrid2.Table().SetColWidth(2, NotNegative(StringGrid2.Width() - 360));
  StringGrid3.Table().SetColWidth(1, StringGrid1.Table().ColWidth(1));
  Edt_Serch.SetWidth(NotNegative(StringGrid1.Width() - 256));
  SpeedB_Serch.SetLeft(Edt_Serch.Left() + Edt_Serch.Width() + 10);
  SpeedB_Clr.SetLeft(SpeedB_Serch.Left() + SpeedB_Serch.Width() + 10);
  SpeedB_All.SetLeft(SpeedB_Clr.Left() + SpeedB_Clr.Width() + 10);
  StringGrid3.SetHeight(StringGrid1.Height());
  StringGrid3.SetWidth(StringGrid1.Width());
}

void TMainForm::DrawCell(gui::Grid& grid, int col, int row, const gui::Rect& rect,
                         gui::Canvas& canvas) {
  const core::CellTable& table = grid.Table();
  gui::Color background = row == 0 ? kMoneyGreen : (row % 2 == 1 ? kCream : gui::kWhite);
  gui::Color textColor = gui::WindowTextColor();
  gui::Color currentBackground = kMagenta;
  gui::Color currentText = gui::kWhite;
  // In high contrast the user's colours replace the designed ones; the header row then
  // looks like a button row, as the system's own tables show it.
  if (const auto system = gui::HighContrastColors()) {
    background = row == 0 ? system->buttonFace : system->window;
    textColor = row == 0 ? system->buttonText : system->windowText;
    currentBackground = system->highlight;
    currentText = system->highlightText;
  }
  canvas.FillRect(rect, background);

  auto inset = [](gui::Rect r, int by) {
    r.left += by;
    r.width = NotNegative(r.width - by);
    return r;
  };
  const Text& text = table.Cell(col, row);
  const gui::Rect textRect = inset(rect, 2);
  canvas.DrawSingleLine(text, textRect, grid.GetFont(), textColor);

  if (table.CurrentRow() != 0 && col == table.CurrentCol() && row == table.CurrentRow()) {
    canvas.FillRect(textRect, currentBackground);
    gui::Font font = grid.GetFont();
    font.height = 11;
    font.points = true;
    canvas.DrawSingleLine(text, inset(textRect, 2), font, currentText);
  }
}

}  // namespace ui
