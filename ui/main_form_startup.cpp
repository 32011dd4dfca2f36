// Registration in the user's Startup folder: a link "Soramitsu.lnk" to the running
// executable. The program keeps no record of it; the link file is the registration.
#include "ui/main_form.h"

namespace ui {

namespace {

constexpr char16_t kStartupLinkName[] = u"Soramitsu";

const Text kNoStartupFolder = u"スタートアップフォルダーが見つかりません。";

}  // namespace

void TMainForm::WireStartupRegistrationEvents() {
  N5->onClick = [this] { gui::Guarded([this] { N5Click(); }); };
  N18->onClick = [this] { gui::Guarded([this] { N18Click(); }); };
}

platform::ShortcutLinks TMainForm::ShortcutOperations() {
  return platform::ShortcutLinks(services.specialFolders, services.shellLinks,
                                 services.fileSystem);
}

void TMainForm::N5Click() {
  platform::ShortcutLinks shortcuts = ShortcutOperations();
  const Text dir = shortcuts.GetDirectoryFromCSIDL(platform::kCsidlStartup);
  const Text exe = services.fileSystem.ExecutablePath();
  if (shortcuts.CreateShortCutLink(exe, dir, kStartupLinkName)) {
    gui::ShowMessage(u"スタートアップに登録しました。");
    return;
  }
  // A link that was not saved must not be reported as a registration.
  const Text where = dir.empty() ? kNoStartupFolder
                                 : platform::ShortcutFilePath(exe, dir, kStartupLinkName);
  gui::ShowErrorBox(u"スタートアップに登録できませんでした。\r\n" + where);
}

void TMainForm::N18Click() {
  platform::ShortcutLinks shortcuts = ShortcutOperations();
  const Text dir = shortcuts.GetDirectoryFromCSIDL(platform::kCsidlStartup);
  if (dir.empty()) {
    gui::ShowErrorBox(u"スタートアップの登録を解除できませんでした。\r\n" + kNoStartupFolder);
    return;
  }
  const Text exe = services.fileSystem.ExecutablePath();
  if (!shortcuts.DeleteShorCutLink(exe, dir)) {
    // Nothing found means nothing is registered: that is what the user asked for. A link
    // still there means its deletion failed, and the program would go on starting.
    const Text left = shortcuts.FindFileShortCutLink(exe, dir);
    if (!left.empty()) {
      gui::ShowErrorBox(u"スタートアップの登録を解除できませんでした。\r\n" + left);
      return;
    }
  }
  gui::ShowMessage(u"スタートアップから登録の解除をしました。");
}

}  // namespace ui
