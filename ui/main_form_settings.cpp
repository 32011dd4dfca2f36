// The settings file: read once at start-up, written once at the end of the exit.
#include <algorithm>
#include <vector>

#include "core/settings.h"
#include "ui/main_form.h"

namespace ui {

namespace {

int ReadInteger(platform::ProfileFile& profile, const Text& path, const char16_t* section,
                const char16_t* key, int defaultValue) {
  const Text value = profile.ReadString(section, key, Text(), path);
  return core::ParseProfileInteger(value).value_or(defaultValue);
}

// The user must be able to grab the title bar: its whole height and a stretch of this
// width within one work area (all of it, in a window too narrow for that).
constexpr int kGripWidth = 40;

}  // namespace

Text TMainForm::SettingsPath() const {
  return core::SettingsPathFor(services.fileSystem.ExecutablePath());
}

void TMainForm::ReadSettings() {
  platform::ProfileFile& profile = services.profile;
  const Text path = SettingsPath();
  // Each value is applied at once; a change of size runs the resize rule.
  SetTop(ReadInteger(profile, path, core::kSectionGamen, u"TOP", core::kDefaultTop));
  SetLeft(ReadInteger(profile, path, core::kSectionGamen, u"LEFT", core::kDefaultLeft));
  SetWidth(ReadInteger(profile, path, core::kSectionGamen, u"WIDTH", core::kDefaultWidth));
  SetHeight(ReadInteger(profile, path, core::kSectionGamen, u"HEIGHT", core::kDefaultHeight));
  Ini_BkupFlg = ReadInteger(profile, path, core::kSectionBkup, u"FLG", core::kDefaultBkupFlg);
  Ini_BkupDate1 = profile.ReadString(core::kSectionBkup, u"DATE1", Text(), path);
  Ini_BkupDate2 = profile.ReadString(core::kSectionBkup, u"DATE2", Text(), path);
  Ini_CheckView = profile.ReadString(core::kSectionSet, u"CHECKVIEW", core::kDefaultCheckView, path);
}

void TMainForm::PlaceLogo() {
  Img_Logo.SetLeft(StringGrid1.Left() + StringGrid1.Width() - Img_Logo.Width());
  Img_Logo.SetTop(StringGrid1.Top() + StringGrid1.Height() - Img_Logo.Height());
}

void TMainForm::KeepFrameOnAMonitor() {
  const gui::Rect grip = gui::TitleBarGrip(Bounds());
  auto reachable = [&grip](const gui::Rect& area) {
    const int width = std::min(grip.Right(), area.Right()) - std::max(grip.left, area.left);
    return grip.width > 0 && grip.height > 0 && width >= std::min(kGripWidth, grip.width) &&
           area.top <= grip.top && grip.Bottom() <= area.Bottom();
  };
  const std::vector<gui::Rect> areas = gui::MonitorWorkAreas();
  // Without any monitor reported there is nothing to measure against.
  if (areas.empty() || std::any_of(areas.begin(), areas.end(), reachable)) return;
  SetBounds({core::kDefaultLeft, core::kDefaultTop, core::kDefaultWidth, core::kDefaultHeight});
  // The logo sits against the history table as laid out for the new size.
  PlaceLogo();
}

void TMainForm::WriteSettings() {
  Ini_CheckView = core::ProfileBooleanText(N4->Checked());
  platform::ProfileFile& profile = services.profile;
  const Text path = SettingsPath();
  auto write = [&](const char16_t* section, const char16_t* key, const Text& value) {
    if (!profile.WriteString(section, key, value, path))
      throw core::AppError(core::SettingsWriteErrorText(path));
  };
  // A minimised window stores the frame it has when restored.
  const gui::Rect frame = StoredFrame();
  write(core::kSectionGamen, u"TOP", core::IntToText(frame.top));
  write(core::kSectionGamen, u"LEFT", core::IntToText(frame.left));
  write(core::kSectionGamen, u"WIDTH", core::IntToText(frame.width));
  write(core::kSectionGamen, u"HEIGHT", core::IntToText(frame.height));
  write(core::kSectionBkup, u"FLG", core::IntToText(Ini_BkupFlg));
  write(core::kSectionBkup, u"DATE1", Ini_BkupDate1);
  write(core::kSectionBkup, u"DATE2", Ini_BkupDate2);
  write(core::kSectionSet, u"CHECKVIEW", Ini_CheckView);
  if (!profile.Flush(path)) throw core::AppError(core::SettingsWriteErrorText(path));
}

}  // namespace ui
