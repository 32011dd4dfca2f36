// The installer's window: it places the desktop shortcut to the main program as it is
// created, tells the user, and asks to be closed.
#pragma once
#include "gui/controls.h"
#include "gui/form.h"
#include "platform/file_system.h"
#include "platform/shell.h"

namespace shortcut {

using core::Text;

// What the window needs of the window system beyond the windowing layer.
class WindowActions {
 public:
  virtual ~WindowActions() = default;
  // Raises the window above all windows that are not topmost, neither moving nor sizing it.
  virtual void RaiseToTopmost(gui::Form& form) = 0;
  // Queues a close request to the window; it is handled once the message loop runs.
  virtual void PostCloseRequest(gui::Form& form) = 0;
};

struct InstallerServices {
  platform::SpecialFolders& specialFolders;
  platform::ShellLinks& shellLinks;
  platform::FileSystem& fileSystem;
  WindowActions& windowActions;
};

struct InstallerLook {
  gui::Color buttonFace{240, 240, 240};  // the system's button-face colour
};

inline const Text kDesktopLinkName = u"ソラミツ";
inline const Text kMainProgramFile = u"Soramitsu.exe";

class TMainForm : public gui::Form {
 public:
  // Builds the controls only. The program's entry realizes the window, so that it has a
  // handle for the close request, then runs FormCreate.
  explicit TMainForm(InstallerServices services, InstallerLook look = {});

  gui::Label Label1{this};

  void FormCreate();
  void FormPaint();

 private:
  InstallerServices services_;
};

}  // namespace shortcut
