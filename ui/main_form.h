// The main window. Its handlers are spread over several files by concern:
//   main_form.cpp          controls, start-up, views, menus, resize, cell painting
//   main_form_settings.cpp the settings file
//   main_form_history.cpp  history file, clipboard monitor, search, history commands
//   main_form_saved.cpp    the saved-entry store
//   main_form_views.cpp    the saved-entry views
//   main_form_entries.cpp  the saved-entry commands and use counting
//   main_form_exit.cpp     exit sequence and the rotating backup
//   main_form_startup.cpp  registration in the Startup folder
#pragma once
#include <memory>
#include <optional>
#include "core/cell_table.h"
#include "core/text_file.h"
#include "gui/application.h"
#include "gui/controls.h"
#include "gui/form.h"
#include "gui/menu.h"
#include "gui/ui_thread_mailbox.h"
#include "platform/clipboard_reader.h"
#include "platform/services.h"
#include "platform/shortcut_links.h"
#include "platform/single_instance.h"

namespace ui {

using core::Text;

class TVerForm;

class TMainForm : public gui::Form {
 public:
  // Builds the controls and runs FormCreate. Nothing is shown yet.
  explicit TMainForm(platform::Services& services);
  ~TMainForm() override;

  platform::Services& services;

  // Every read of the clipboard runs off the window's thread, one at a time: a program
  // that renders its copy slowly must not stop the window. Results come back through the
  // mailbox.
  gui::UiThreadMailbox mailbox;
  platform::ClipboardReader clipboardReader{services.clipboard, mailbox.GetPoster()};

  // ---- shared state of the main window ----
  Text AppPath, DataPath, Bkup1Path, Bkup2Path;
  Text oldStr;
  int Log_Cnt = 0;
  int tbl_Cnt = 0;
  Text wSortSw = u"0";
  Text wEditSw, wEditNo;
  int Ini_BkupFlg = 1;
  Text Ini_BkupDate1, Ini_BkupDate2;
  Text Ini_CheckView = u"0";

  // The splash picture lies beneath everything else: the panels cover the part of it that
  // reaches over them, the tables cover it once they show.
  gui::Image Img_Logo{this};

  // ---- navigation panel ----
  gui::Panel Panel1{this};
  gui::Image img_Log{&Panel1};
  gui::Label Lbl_Log{&Panel1};
  gui::Shape Shape3{&Panel1};
  gui::Label Label1{&Panel1};
  gui::Image Img_List{&Panel1};
  gui::Label Lbl_List{&Panel1};
  gui::Image Img_new{&Panel1};
  gui::Label Lbl_New{&Panel1};
  gui::Image Img_High{&Panel1};
  gui::Label Lbl_High{&Panel1};
  gui::Shape Shape1{&Panel1};
  gui::Image Img_Sv{&Panel1};
  gui::Label lbl_Save{&Panel1};
  gui::Image Img_Edit{&Panel1};
  gui::Label Lbl_Edit{&Panel1};
  gui::Image Img_Del{&Panel1};
  gui::Label Lbl_Del{&Panel1};
  gui::Shape Shape2{&Panel1};
  gui::Image Img_Clrer{&Panel1};
  gui::Label Lbl_Clear{&Panel1};
  gui::Image Img_Clip{&Panel1};
  gui::Label Lbl_Clip{&Panel1};

  // ---- view panel ----
  gui::Panel Panel2{this};
  gui::Image Img_Log1{&Panel2};
  gui::Image Img_List1{&Panel2};
  gui::Image Img_new1{&Panel2};
  gui::Image Img_High1{&Panel2};
  gui::Label Lbl_Titol{&Panel2};
  gui::Shape Shape4{&Panel2};
  gui::ListBox ListBox1{&Panel2};
  core::LineBuffer Memo_Categori;  // hidden: category choices, one a line

  // ---- main area (creation order is stacking order: later lies above) ----
  gui::Memo Memo_Board{this};
  gui::Label Label2{this};
  gui::Edit Edt_Serch{this};
  gui::SpeedButton SpeedB_Serch{this};
  gui::SpeedButton SpeedB_Clr{this};
  gui::SpeedButton SpeedB_All{this};
  gui::Grid StringGrid3{this};
  gui::Grid StringGrid1{this};
  gui::Grid StringGrid2{this};
  core::LineBuffer Memo_wk;  // hidden line buffer for the history and index files
  gui::Timer Timer1;
  gui::Timer Timer2;

  // ---- menus ----
  gui::MainMenu MainMenu1;
  gui::MenuItem *N1 = nullptr, *N6 = nullptr;
  gui::MenuItem *N2 = nullptr, *N4 = nullptr, *N5 = nullptr, *N18 = nullptr;
  gui::MenuItem *N3 = nullptr, *N7 = nullptr, *N17 = nullptr, *N13 = nullptr;
  gui::PopupMenu PopupMenu1, PopupMenu2, PopupMenu3;
  gui::MenuItem *N8 = nullptr, *N9 = nullptr, *N11 = nullptr, *URL1 = nullptr;
  gui::MenuItem *N10 = nullptr, *N15 = nullptr, *N12 = nullptr, *N14 = nullptr;
  gui::MenuItem *N16 = nullptr, *N19 = nullptr, *N20 = nullptr, *URL2 = nullptr;

  // ---- start-up, views, menus, layout (main_form.cpp) ----
  void FormCreate();
  void FormShow();
  void Timer1Timer();
  void img_LogClick();
  void EnableSavedCommands(bool on);
  void N4Click();
  void N6Click();
  void N7Click();
  void N13Click();
  void FormResize();
  void DrawCell(gui::Grid& grid, int col, int row, const gui::Rect& rect, gui::Canvas& canvas);
  // After a read of `path` into `buffer`: the one notice that bytes it could not read were
  // kept beside the file (core::KeepOriginalBytes).
  void TellKeptOriginal(const core::LineBuffer& buffer, const Text& path);

  // ---- settings file (main_form_settings.cpp) ----
  Text SettingsPath() const;  // the executable's path with ".ini"
  void ReadSettings();        // start-up: geometry applied, Ini_ values read
  void WriteSettings();       // exit: throws core::AppError "%s に書き込めません"
  // Start-up, once the window exists with the frame it really has (the windowing layer may
  // have enlarged a stored size): a frame whose title bar cannot be grabbed in any
  // monitor's work area, as one stored while a second monitor was attached, gives way to
  // the default place and size.
  void KeepFrameOnAMonitor();
  void PlaceLogo();  // the logo's lower right corner meets that of the history table

  // ---- history (main_form_history.cpp) ----
  void Log_Load();
  void WriteHistoryFile();  // the history writer
  void Timer2Timer();
  void SpeedB_SerchClick();
  void Log_Select();
  void SpeedB_AllClick();
  void SpeedB_ClrClick();
  void StringGrid1Click();
  void StringGrid3Click();
  void N8Click();
  void N16Click();
  void URL1Click();
  void URL3Click();
  void Img_ClrerClick();
  void Img_ClipClick();
  void SetupExtractTable();
  // Set by the exit sequence once the history file is written: later texts are not recorded.
  bool historyWritten = false;
  // The history journal Data\Log.journal (core/history_journal): each recorded text is
  // appended at once, so that a crash loses none of them.
  Text JournalPath() const;
  // Start-up: adds the journal's texts that Log.dat lacks and tells the user how many, and
  // why they were missing. Reports a Log.dat that could not be read, once per reason: the
  // journal keeps the texts meanwhile.
  void RecoverJournal();
  Text historyUnreadableReason;  // why Log.dat could not be read at start-up
  // The exit while Log.dat could not be read: the journal keeps the history, marked held.
  void HoldJournal();
  bool journalRead = false;  // start-up read the journal (or found none)
  std::uint32_t lastClipboardSequence = 0;
  bool haveClipboardSequence = false;
  // The start-up read has set oldStr: until then the monitor records nothing.
  bool clipboardBaselineKnown = false;
  // The monitor's read has come back; `sequence` is the clipboard's sequence number taken
  // before it started.
  void ClipboardArrived(std::uint32_t sequence, platform::ClipboardReading reading);

  // ---- saved entries (main_form_saved.cpp) ----
  void SetupSavedTable();
  void HozonData_Load();
  void HozonData_SAVE();
  void Sub_Categori();

  // ---- saved-entry views (main_form_views.cpp) ----
  void Img_ListClick();
  void Img_newClick();
  void Img_HighClick();
  void Sub_ListBox();
  void Sub_SORT1();
  void Sub_SORT2();
  void ListBox1Click();
  bool Serch_Sec(int SNo, const Text& SMoji);
  void RefreshSavedView();
  // Hides the search bar and the extract table and shows the view's title.
  void SwitchToSavedView(const Text& title);
  void ShowViewIndicator(gui::Image& indicator);
  // Row 1, column 1 of the saved table becomes current (opening its entry if the cell
  // moved); the table gets the focus.
  void ShowFirstSavedEntry();
  // Moves the saved table's current cell; when it moved, the entry there is opened once.
  void MoveSavedCell(int col, int row);
  // Moves the saved table's current cell without opening any entry.
  void PlaceSavedCellQuietly(int col, int row);
  // Set while a view build makes its first row current: an entry opened then was not the
  // user's choice, so a missing content file is not announced.
  bool buildingSavedView = false;

  // ---- saved-entry commands (main_form_entries.cpp) ----
  void Img_SvClick();
  void Img_EditClick();
  void Img_DelClick();
  void StringGrid2Click();
  void N9Click();
  void N10Click();
  void N14Click();
  void N15Click();
  void N19Click();
  // Opens the entry editor in `mode` ("NEW", "EDIT", "VIEW"); true when it stored the entry.
  bool ShowEntryEditor(const Text& mode);
  // The content file of the saved table's row.
  Text ContentFilePath(int row) const;
  // Files the text as a new entry from a popup of the history or the extract table.
  void SaveTextAsEntry(const Text& text);

  // ---- exit and backup (main_form_exit.cpp) ----
  void FormCloseQuery(bool& CanClose);
  bool WMQueryEndSession();
  // The session ends for certain (the process ends right afterwards): finishes the backup
  // and the settings of an exit that was still running when the log-off was answered.
  void WMEndSession();
  int FileAllCopy(const Text& FromDir, const Text& ToDir);
  int FileAllDelete(const Text& FromDir);
  void Waitjob(int Waittime);
  bool AutoBackup();
  Text SlotPath(int slot) const;  // Bkup1Path or Bkup2Path
  void N17Click();
  bool exitRunning = false;
  // The copy's claim on its folder (none in tests): told while the exit runs, so that a
  // start made meanwhile waits for this copy to end instead of ending itself.
  platform::SingleInstance* singleInstance = nullptr;
  // The backup slot of this run once its first backup chose it (0 before): a repeated exit
  // goes to the same slot.
  int backupSlot = 0;
  // The running exit has emptied its slot and waits: the copy is still to be made.
  bool backupCopyPending = false;
  bool backupCopySucceeded = false;
  // The session ended during the exit, which then finished its writing at once.
  bool sessionEnded = false;

  // Start-up problems that must keep the exit from overwriting a file it could not read.
  bool historyLoadFailed = false;
  bool indexLoadFailed = false;

  // ---- keys (main_form_keys.cpp) ----
  // The panes F6 goes through, in order, as they are shown now: the category list, the
  // board, the search box, and the table on top (the one a click reaches).
  std::vector<gui::Control*> Panes();
  // F6 (forward) and Shift+F6: the focus goes to the next pane after the one holding it,
  // round from the last to the first. Arriving in a table chooses nothing.
  void FocusNextPane(const gui::Control* focus, bool forward);

  // ---- Startup registration (main_form_startup.cpp) ----
  void N5Click();   // registers the program in the user's Startup folder
  void N18Click();  // removes that registration
  // The shared shortcut operations over this window's services.
  platform::ShortcutLinks ShortcutOperations();

 private:
  void BuildControls();
  void BuildMenus();
  void WireEvents();
  // Wiring of the saved-entry views and commands (main_form_entries.cpp) and of the
  // Startup registration (main_form_startup.cpp).
  void WireSavedEntryEvents();
  void WireStartupRegistrationEvents();
  // The keys of the window (main_form_keys.cpp).
  void WireKeys();
};

// The program's main window while it runs (set by the program's entry).
extern TMainForm* MainForm;

// The notice about a data file that could not be read at start-up; `more` ends it.
void ReportUnreadableFile(const Text& what, const Text& path, const Text& reason,
                          const Text& more = {});

}  // namespace ui
