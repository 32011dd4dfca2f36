// The entry editor: files a text as a new saved entry, edits the current one, or shows it.
// The caller sets wEditSw ("NEW", "EDIT" or "VIEW") on the main window first and, for
// EDIT and VIEW, makes the entry's row the current row of StringGrid2; after ShowModal
// wEditSw is "OK" exactly when the entry was stored (content file written, row set).
// Writing the index file and refreshing the views are the caller's.
#pragma once
#include <memory>
#include "core/text.h"
#include "core/text_file.h"
#include "gui/controls.h"
#include "gui/form.h"
#include "platform/clipboard_reader.h"

namespace ui {

class TMainForm;

class TEdtForm : public gui::Form {
 public:
  // Builds the controls, runs FormCreate (reads wEditSw, the clipboard, the current row)
  // and realizes the window: the caller only calls ShowModal().
  explicit TEdtForm(TMainForm& owner);
  ~TEdtForm() override;

  TMainForm& owner;

  gui::Panel Panel1{this};
  gui::Label lbl_Save{&Panel1};
  gui::Image Img_Sv{&Panel1};
  gui::Label Lbl_Cancel{&Panel1};
  gui::Image Img_cancel{&Panel1};
  gui::Image Img_Exit{&Panel1};
  gui::Label Lbl_mente{this};
  gui::Label Label2{this};
  gui::ComboBox ComboBox1{this};
  gui::Label Label4{this};
  gui::Label Label1{this};
  gui::Edit Edt_Titol{this};
  gui::Label Label3{this};
  gui::Memo Memo1{this};

  void FormCreate();
  void Img_SvClick();
  void Img_cancelClick();
  void Img_ExitClick();
  void FormClose();

 private:
  // Puts the clipboard's text into Memo1. The read runs off the window's thread: the
  // dialog waits for it a short moment (taking no input, so a second click cannot open a
  // second dialog) and then opens; a text that comes later fills the box if it is still
  // empty as the dialog left it.
  void TakeClipboardText();
  void ClipboardTextArrived(platform::ClipboardReading reading);
  bool opening_ = true;  // FormCreate still runs: a failed read is told now, not later
  // Gone with the dialog: a read that comes back after it has closed finds it expired.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  // Whether a created key belongs to an entry of the table or names a content file on disk.
  bool KeyTaken(const core::Text& key) const;
  int editRow_ = 0;  // the entry's row in EDIT and VIEW mode
  // The entry's content file: it remembers the encoding it was read in for the next write.
  core::LineBuffer contentFile_;
};

// The open entry editor, or none.
extern TEdtForm* EdtForm;

}  // namespace ui
