// Shared helpers of the saved-entry tests: an index with content files on disk, the saved
// table as lists, and a scripted entry editor.
#pragma once
#include <functional>
#include <string>
#include <vector>
#include "core/saved_store.h"
#include "tests/native/form_fixture.h"
#include "ui/edt_form.h"

namespace saved_test {

using namespace testing_support;

struct Entry {
  std::string category, title, key, uses, content;
  bool hasContent = true;
};

class SavedEntriesTest : public AppFolderTest {
 protected:
  // hozon.dat and the content files as the program writes them; then the history view.
  ui::TMainForm& StartWith(const std::vector<Entry>& entries) {
    std::string index;
    for (const Entry& e : entries) {
      index += e.category + "," + e.title + "," + e.key + "," + e.uses + "\r\n";
      if (e.hasContent) WriteBytes(ContentPath(e.key), Cp932(e.content));
    }
    if (!entries.empty()) WriteBytes(IndexPath(), Cp932(index));
    ui::TMainForm& f = Start();
    f.Timer1Timer();
    return f;
  }
  fs::path IndexPath() const { return DataDir() / "hozon.dat"; }
  fs::path ContentPath(const std::string& key) const { return DataDir() / ("h" + key + ".dat"); }
  std::string IndexText() { return U8(services_.ansi.Decode(ReadBytes(IndexPath()))); }

  core::CellTable& Saved() { return form->StringGrid2.Table(); }
  std::vector<std::string> Column(int col) {
    std::vector<std::string> items;
    for (int r = 1; r < Saved().RowCount(); ++r) items.push_back(U8(Saved().Cell(col, r)));
    return items;
  }
  std::vector<std::string> Keys() { return Column(core::kSavedColCreated); }
  std::vector<std::string> Titles() { return Column(core::kSavedColTitle); }
  std::string UsesOf(const std::string& key) {
    for (int r = 1; r < Saved().RowCount(); ++r)
      if (U8(Saved().Cell(core::kSavedColCreated, r)) == key)
        return U8(Saved().Cell(core::kSavedColUses, r));
    return "";
  }
  std::string Board() { return U8(form->Memo_Board.GetText()); }
  std::string ClipboardText() { return U8(services_.clipboard.Current()); }
  std::vector<std::string> ListItems() {
    std::vector<std::string> items;
    for (const Text& t : form->ListBox1.Items()) items.push_back(U8(t));
    return items;
  }

  // Records each editor opened (mode, text shown); `act` runs inside it, then it closes.
  void ScriptEditor(std::function<void(ui::TEdtForm&)> act = {}) {
    gui::headless::SetModalHandler([this, act](gui::Form& dialog) {
      auto& editor = static_cast<ui::TEdtForm&>(dialog);
      editorModes.push_back(U8(form->wEditSw));
      editorTexts.push_back(U8(editor.Memo1.GetText()));
      if (act) act(editor);
    });
  }
  void EditorSaves(const std::string& category, const std::string& title) {
    ScriptEditor([category, title](ui::TEdtForm& editor) {
      editor.ComboBox1.SetText(U16(category));
      editor.Edt_Titol.SetText(U16(title));
      editor.Img_Sv.Click();
    });
  }
  std::vector<std::string> editorModes, editorTexts;

  // The saved-entry controls: "edit/delete view-commands popup-items", each "on"/"off".
  std::string Commands() {
    ui::TMainForm& f = *form;
    auto state = [](std::initializer_list<bool> all) {
      int on = 0;
      for (bool b : all) on += b;
      return on == 0 ? std::string("off") : on == static_cast<int>(all.size()) ? "on" : "mixed";
    };
    return state({f.Lbl_Edit.Enabled(), f.Lbl_Del.Enabled(), f.Img_Edit.Enabled(),
                  f.Img_Del.Enabled()}) +
           " " +
           state({f.Lbl_List.Enabled(), f.Lbl_New.Enabled(), f.Lbl_High.Enabled(),
                  f.Img_List.Enabled(), f.Img_High.Enabled(), f.Img_new.Enabled()}) +
           " " + state({f.N10->Enabled(), f.N14->Enabled(), f.N15->Enabled()});
  }
};

}  // namespace saved_test
