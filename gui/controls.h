// The small controls the forms are built from. Each keeps its own state; see control.h.
#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <vector>
#include "core/cell_table.h"
#include "gui/accessible_text.h"
#include "gui/control.h"

namespace gui {

class PopupMenu;

// A coloured rectangle holding other controls.
class Panel : public Control {
 public:
  using Control::Control;
};

// Static text; shown greyed when disabled. "\r\n" in the caption starts a new line.
class Label : public Control {
 public:
  using Control::Control;
  Color textColor = kBlack;
  // Drawn over whatever lies beneath (the version banner). Otherwise the label's box is
  // filled with its parent's colour first. The text is never cut at the label's box: like
  // an auto-sized label it shows whole.
  bool transparent = false;
  // A pointing hand over it (a caption beside an image button); it does nothing more.
  bool handCursor = false;
};

// Names a control for screen readers after the label standing beside it.
inline void NameAfter(Control& control, const Label& label) {
  control.SetAccessibleName(CaptionReading(label.Caption()));
}

// A 1-pixel (or thicker) horizontal line.
class Shape : public Control {
 public:
  using Control::Control;
  Color lineColor{160, 160, 160};
  // Instead of filling the box: an etched 2-pixel rule along its bottom edge (a bevel).
  bool bottomRule = false;
};

// A picture from the program's resources, shown unscaled from its top left corner unless
// stretched. With `handCursor` it is an image button: a pointing hand over it, clicks
// ignored while disabled.
class Image : public Control {
 public:
  using Control::Control;
  Text resourceName;   // e.g. u"ICON_LOG"
  bool handCursor = false;
  // The label beside an image button that says what it does: a screen reader reads its
  // caption as the button's name, and does not read the label on its own.
  const Label* captionLabel = nullptr;
  bool stretch = false;
  // Drawn over whatever lies beneath: a picture without an alpha channel leaves out its
  // background colour (the colour of its bottom left pixel). Pictures with alpha always
  // blend over what lies beneath.
  bool transparent = false;
};

// A flat picture button with a tool tip; the caption is shown when there is no picture.
class SpeedButton : public Control {
 public:
  using Control::Control;
  Text resourceName;
  Text hint;
};

// Single-line text box.
class Edit : public Control {
 public:
  using Control::Control;
  const Text& GetText() const { return text_; }
  void SetText(Text text);
  // Called by the backend when the user types.
  void TextEditedByUser(Text text) { text_ = std::move(text); }
  bool readOnly = false;
  // Without it the Tab key passes the box by; a click still gives it the focus.
  bool tabStop = true;
  ImeMode imeMode = ImeMode::Default;
 private:
  Text text_;
};

// Multi-line text box; `wordWrap` wraps long lines to the box's width.
class Memo : public Control {
 public:
  using Control::Control;
  // Always the whole text, also while the box shows only its start.
  const Text& GetText() const { return text_; }
  void SetText(Text text);
  void TextEditedByUser(Text text) {
    text_ = std::move(text);
    shownLength_ = text_.size();  // the box shows what the user typed, whole
  }

  // An edit box takes seconds to lay out a text of many megabytes, or a long paragraph
  // when it wraps, and takes no input meanwhile. A text whose layout needs more than
  // `budget` (gui/quick_layout.h) is therefore shown only in part: the start the budget
  // allows (cut where core::CutLength allows), then `note(whole text)` on a line of its
  // own; the box is read-only while it does, so nothing typed can be lost with the rest.
  struct LongText {
    std::size_t budget = 0;  // 0: always the whole text
    std::function<Text(const Text& whole)> note;
  };
  LongText longText;
  bool ShowsStartOnly() const { return shownLength_ < text_.size(); }
  Text ShownText() const;  // what the box shows
  bool ReadOnlyNow() const { return readOnly || ShowsStartOnly(); }

  // The lines as the box lays them out: a line ends at each line break and, with word
  // wrap, wherever the box wraps. The Win32 backend asks the edit control; headless
  // wraps every `headlessWrapWidth` code units. A text the box shows only in part is not
  // laid out: its lines end at its own line breaks alone.
  std::vector<Text> DisplayedLines() const;
  // The headless layout: lines cut every `headlessWrapWidth` code units (never inside a
  // surrogate pair). An empty text has no lines; a final line break adds none.
  std::vector<Text> HeadlessLines() const;
  bool wordWrap = true;
  bool verticalScrollBar = true;
  bool readOnly = false;
  ImeMode imeMode = ImeMode::Default;
  int headlessWrapWidth = 80;

  class LinesSource {
   public:
    virtual ~LinesSource() = default;
    virtual std::vector<Text> DisplayedLines() const = 0;
  };
  void SetLinesSource(const LinesSource* source) { linesSource_ = source; }

 private:
  Text text_;
  std::size_t shownLength_ = 0;
  const LinesSource* linesSource_ = nullptr;
};

// Drop-down box with an editable text.
class ComboBox : public Control {
 public:
  using Control::Control;
  const Text& GetText() const { return text_; }
  void SetText(Text text);
  void TextEditedByUser(Text text) { text_ = std::move(text); }
  const std::vector<Text>& Items() const { return items_; }
  void SetItems(std::vector<Text> items);
  ImeMode imeMode = ImeMode::Default;
 private:
  Text text_;
  std::vector<Text> items_;
};

// List of lines. onSelect runs only for the user's choice, never for SetSelected.
class ListBox : public Control {
 public:
  using Control::Control;
  const std::vector<Text>& Items() const { return items_; }
  void Clear();
  void Add(Text item);
  int Selected() const { return selected_; }  // -1 when none
  void SetSelected(int index);
  void SelectByUser(int index);  // backend or test: the user picked an item
  std::function<void()> onSelect;
 private:
  std::vector<Text> items_;
  int selected_ = -1;
};

// Report-style list with columns.
class ListView : public Control {
 public:
  using Control::Control;
  struct Column { Text caption; int width = 50; };
  struct Item { Text caption; std::vector<Text> subItems; };
  std::vector<Column>& Columns() { return columns_; }
  void SetColumnWidth(int index, int width);
  void AddColumn(Text caption, int width);
  const std::vector<Item>& Items() const { return items_; }
  void ClearItems();
  Item& AddItem();  // the new row (the form's `Lst`)
  void SetItemCaption(int index, Text caption);
  void AddSubItem(int index, Text text);
 private:
  std::vector<Column> columns_;
  std::vector<Item> items_;
};

// Paints with the grid's own drawing context during a paint.
class Canvas {
 public:
  virtual ~Canvas() = default;
  virtual void FillRect(const Rect& rect, Color color) = 0;
  // DrawTextW with DT_SINGLELINE | DT_VCENTER: one line, vertically centred, clipped.
  virtual void DrawSingleLine(const Text& text, const Rect& rect, const Font& font,
                              Color color) = 0;
};

// Shows a core::CellTable: fixed header row and column, 24-pixel rows, column widths
// (0 hides), both scroll bars, one current cell moved by left clicks and arrow keys.
// Only visible rows are painted. A right click opens `popup` without moving the cell.
class Grid : public Control {
 public:
  explicit Grid(Control* parent);
  core::CellTable& Table() { return table_; }
  const core::CellTable& Table() const { return table_; }
  int defaultRowHeight = 24;
  bool tabStop = true;
  PopupMenu* popup = nullptr;
  // Paints one cell; the form supplies the painting rule.
  std::function<void(int col, int row, const Rect& cell, Canvas& canvas)> onDrawCell;

  // Scrolls so that `row` is the first data row shown, or as near to it as the rows after
  // it allow (the last page never leaves empty room below). It takes effect once the grid
  // has laid out every change made before it, so a current cell moved just before does not
  // undo it. Headless, the request is only remembered.
  void ShowRowAtTop(int row);
  int RowAskedAtTop() const { return rowAskedAtTop_; }  // 0 when never asked

 private:
  core::CellTable table_;
  int rowAskedAtTop_ = 0;
};

// A window timer; ticks arrive on the UI thread.
class Timer {
 public:
  Timer() = default;
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;
  ~Timer();
  int interval = 1000;
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  std::function<void()> onTimer;
  // A tick: runs onTimer. The backend delivers ticks only while the timer is enabled;
  // a test may fire one directly.
  void Fire();

  class Peer {
   public:
    virtual ~Peer() = default;
    virtual void EnabledChanged() = 0;
  };
  void AttachPeer(std::unique_ptr<Peer> peer) { peer_ = std::move(peer); }

 private:
  bool enabled_ = false;
  std::unique_ptr<Peer> peer_;
};

}  // namespace gui
