#include "shortcut/installer_form.h"

#include "gui/application.h"
#include "platform/shortcut_links.h"

namespace shortcut {

namespace {

gui::Font Tahoma(int pixels) {
  gui::Font font;
  font.face = u"Tahoma";
  font.height = pixels;
  return font;
}

}  // namespace

TMainForm::TMainForm(InstallerServices services, InstallerLook look) : services_(services) {
  SetCaption(u"ショートカット作成");
  SetClientSize(297, 98);
  centerOnScreen = true;
  resizable = false;
  background = look.buttonFace;
  SetColor(look.buttonFace);
  SetFont(Tahoma(11));

  Label1.SetBounds({64, 32, 137, 19});
  Label1.SetCaption(u"しばらくお待ち下さい。");
  Label1.SetFont(Tahoma(16));
  Label1.SetColor(look.buttonFace);
}

void TMainForm::FormCreate() {
  platform::ShortcutLinks shortcuts(services_.specialFolders, services_.shellLinks,
                                    services_.fileSystem);
  // The main program lies beside the installer; whether it is there is not checked.
  const Text target =
      platform::FolderWithBackslash(services_.fileSystem.ExecutablePath()) + kMainProgramFile;
  const Text desk = shortcuts.GetDirectoryFromCSIDL(platform::kCsidlDesktop);
  if (shortcuts.CreateShortCutLink(target, desk, kDesktopLinkName)) {
    gui::ShowMessage(u"ソラミツの\r\nインストールが完了しました。");
  } else {
    // A shortcut that was not written must not be announced as a finished installation.
    const Text where = desk.empty() ? Text(u"デスクトップフォルダーが見つかりません。")
                                    : platform::ShortcutFilePath(target, desk, kDesktopLinkName);
    gui::ShowErrorBox(u"デスクトップにショートカットを作成できませんでした。\r\n" + where);
  }
  services_.windowActions.PostCloseRequest(*this);
}

void TMainForm::FormPaint() { services_.windowActions.RaiseToTopmost(*this); }

}  // namespace shortcut
