// A crash at every step: each sequence runs once on the recording disk, then the program
// starts on every disk a crash after any of its changes could leave, and what it loads is
// checked against what the sequence had made durable by then.
#include <gtest/gtest.h>

#include <functional>
#include <iostream>
#include <memory>

#include "core/dates.h"
#include "core/history.h"
#include "core/saved_store.h"
#include "crash_file_system.h"
#include "gui/headless/headless.h"
#include "platform/posix/memory_services.h"
#include "platform/posix/posix_services.h"
#include "ui/edt_form.h"
#include "ui/main_form.h"

namespace crash_test {
namespace {

// A text whose inner line begins like a record header: the history file reads it back as
// two records. Known fault, mended on another branch (the journal is compared with the
// history file as it reads back): while true, that text found twice after a crash is
// counted apart instead of failing. Set to false once the mend is in.
constexpr bool kHeaderLikeTextDoubledIsKnown = true;
const Text kMarker = u"\\\\内容\\\\=";
const Text kHeaderLike = u"text-hdr first line\r\n" + kMarker + u"2026/12/05 10:00:00 inner";

// Settings written the way the Windows layer writes them: the keys go into a copy of the
// file, which replaces the file when flushed, so a crash leaves the old or the new one.
class StagedProfile : public platform::ProfileFile {
 public:
  explicit StagedProfile(platform::FileSystem& disk) : disk_(disk) {}
  Text ReadString(const Text& s, const Text& k, const Text& d, const Text& path) override {
    return (staged_ ? copy_ : real_).ReadString(s, k, d, path);
  }
  bool WriteString(const Text& s, const Text& k, const Text& v, const Text& path) override {
    if (!staged_) {
      scratch_ = CrashFileSystem(Disk{{}, {{CrashFileSystem::Parent(path), true}}});
      if (disk_.FileExists(path)) scratch_.WriteFileAtomic(path, disk_.ReadFile(path));
      staged_ = true;
    }
    return copy_.WriteString(s, k, v, path);
  }
  bool Flush(const Text& path) override {
    if (!staged_) return true;
    staged_ = false;
    try {
      disk_.WriteFileAtomic(path, scratch_.ReadFile(path));
    } catch (const core::AppError&) {
      return false;
    }
    return true;
  }

 private:
  platform::FileSystem& disk_;
  CrashFileSystem scratch_;
  platform::posix::PosixProfileFile real_{disk_}, copy_{scratch_};
  bool staged_ = false;
};

struct Recorded {
  Text stamp, text;
  std::size_t durableAt;  // changes after which its journal record is flushed
};

// One run of the program on a disk.
struct Machine {
  explicit Machine(Disk disk) : fs(std::move(disk)) {}
  CrashFileSystem fs;
  StagedProfile profile{fs};
  platform::posix::PosixCollator collator;
  platform::posix::IconvAnsiCodePage ansi{932};
  platform::posix::MemoryClipboard clipboard;
  platform::posix::RecordingShell shell;
  platform::posix::MemorySpecialFolders special;
  platform::posix::MemoryShellLinks links;
  platform::posix::FixedClock clock;
  platform::Services services{clipboard, shell, special, links, profile, fs, collator, ansi, clock};
  std::unique_ptr<ui::TMainForm> form;
  std::vector<Recorded> texts;

  ui::TMainForm& Start() {
    form.reset();
    gui::headless::Reset();
    form = std::make_unique<ui::TMainForm>(services);
    return *form;
  }
  void Copy(const Text& text) {
    ++clock.now.second;
    clipboard.CopyText(text);
    form->Timer2Timer();
    texts.push_back({core::FormatStamp(clock.now), text, fs.Ops().size()});
  }
  void Exit() {
    ++clock.now.minute;
    ASSERT_TRUE(form->Close());
  }
  // The entry editor, opened by `open`, stores `text` under `title`.
  void Edit(const std::function<void()>& open, const Text& title, const Text& text) {
    gui::headless::SetModalHandler([&](gui::Form& dialog) {
      auto& editor = static_cast<ui::TEdtForm&>(dialog);
      editor.ComboBox1.SetText(u"cat");
      editor.Edt_Titol.SetText(title);
      editor.Memo1.SetText(text);
      editor.Img_Sv.Click();
    });
    open();
    gui::headless::SetModalHandler({});
  }
};

const Text kData = u"C:\\app\\Data";
const Text kSlots[] = {u"C:\\app\\Bkup1", u"C:\\app\\Bkup2"};
const Text kSettings = u"C:\\app\\Soramitsu.ini";

std::map<Text, std::string> FilesIn(const Disk& d, const Text& folder) {
  std::map<Text, std::string> files;
  for (const auto& [path, file] : d.files)
    if (CrashFileSystem::Parent(path) == folder) files[path.substr(folder.size() + 1)] = file.current;
  return files;
}

// What a start-up loaded, and the disk it loaded from.
struct Loaded {
  std::vector<std::pair<Text, Text>> history;  // stamp, text
  std::map<Text, Text> entries;                // created key -> category and title
  Text date1, date2;
  std::vector<Text> notices;
  Disk disk;
};

Loaded Load(Machine& m) {
  Loaded l;
  ui::TMainForm& f = m.Start();
  const core::CellTable& h = f.StringGrid1.Table();
  for (int r = 1; r <= f.Log_Cnt; ++r)
    l.history.push_back({h.Cell(core::history::kStampCol, r), h.Cell(core::history::kTextCol, r)});
  const core::CellTable& s = f.StringGrid2.Table();
  for (int r = 1; r < s.RowCount(); ++r) {
    const Text key = s.Cell(core::kSavedColCreated, r);
    if (!key.empty()) l.entries[key] = s.Cell(core::kSavedColCategory, r) + u"," + s.Cell(core::kSavedColTitle, r);
  }
  l.date1 = f.Ini_BkupDate1;
  l.date2 = f.Ini_BkupDate2;
  for (const auto& box : gui::headless::ShownBoxes()) l.notices.push_back(box.text);
  l.disk = m.fs.Now();
  return l;
}

bool OwnDataFile(const Text& name) {
  return name == u"Log.dat" || name == u"Log.journal" || name == core::kIndexFileName ||
         name == core::kUnreadableIndexFileName ||
         (name.size() == 20 && name[0] == u'h' && core::IsCreatedKey(name.substr(1, 15)) && name.ends_with(u".dat"));
}

// The faults of one crash state; `known` counts the known fault apart.
std::vector<std::string> Check(const Loaded& l, const Loaded& before, const Loaded& after,
                               const std::vector<Recorded>& texts, std::size_t changes, bool clears,
                               int& known) {
  std::vector<std::string> faults;
  auto fault = [&](const Text& what) { faults.push_back(core::ToUtf8(what)); };
  for (const Text& n : l.notices) {
    bool defined = n.starts_with(u"前回正しく終了できなかったため保存されていなかった履歴を、");
    for (int c = 1; c < 10; ++c)
      defined = defined || n == core::UnreadableLinesNotice(c, kData + u"\\" + core::kUnreadableIndexFileName);
    if (!defined) fault(u"notice: " + n);
  }
  for (const Recorded& t : texts) {
    int found = 0;
    for (const auto& [stamp, text] : l.history)
      found += stamp == t.stamp && (text == t.text || t.text.starts_with(text + u"\r\n" + kMarker));
    const bool must = changes >= t.durableAt && !clears;
    if (found == 2 && t.text == kHeaderLike && kHeaderLikeTextDoubledIsKnown) ++known;
    else if (found > 1 || (must && found == 0)) fault(u"history holds " + t.text + u" " + core::IntToText(found) + u" times");
  }
  const auto data = FilesIn(l.disk, kData), dataBefore = FilesIn(before.disk, kData), dataAfter = FilesIn(after.disk, kData);
  for (const auto& [key, title] : l.entries) {
    const Text name = core::ContentFileName(key);
    const bool known1 = before.entries.count(key) && before.entries.at(key) == title;
    const bool known2 = after.entries.count(key) && after.entries.at(key) == title;
    if (!known1 && !known2) fault(u"entry " + key + u" reads " + title);
    auto content = data.find(name);
    if (content == data.end()) fault(u"entry " + key + u" has no content file");
    else if ((!dataBefore.count(name) || dataBefore.at(name) != content->second) &&
             (!dataAfter.count(name) || dataAfter.at(name) != content->second))
      fault(u"entry " + key + u" has a mixed content file");
  }
  for (const auto& [key, title] : before.entries)
    if (after.entries.count(key) && !l.entries.count(key)) fault(u"entry " + key + u" lost");
  for (const auto& [name, bytes] : data)
    if (!OwnDataFile(name)) fault(u"Data holds " + name + u" after start-up");
  const std::string settings = l.disk.files.count(kSettings) ? l.disk.files.at(kSettings).current : "-";
  auto settingsOf = [](const Loaded& x) { return x.disk.files.count(kSettings) ? x.disk.files.at(kSettings).current : "-"; };
  if (settings != settingsOf(before) && settings != settingsOf(after)) fault(u"the settings file is mixed");
  // A slot named with this run's date holds this run's copy; the newest named slot, the
  // other slot or the data folder holds what the last finished backup held.
  const Text* dates[] = {&l.date1, &l.date2};
  const Text* datesBefore[] = {&before.date1, &before.date2};
  const Text* datesAfter[] = {&after.date1, &after.date2};
  int newest = l.date1 >= l.date2 ? 0 : 1;
  for (int s = 0; s < 2; ++s) {
    const bool named = *dates[s] != *datesBefore[s] && *dates[s] == *datesAfter[s];
    if (named && FilesIn(l.disk, kSlots[s]) != FilesIn(after.disk, kSlots[s])) fault(u"slot " + kSlots[s] + u" named but not finished");
  }
  const bool newestIsNew = *dates[newest] != *datesBefore[newest];
  const auto last = FilesIn((newestIsNew ? after : before).disk, kSlots[newest]);
  bool held = true;
  for (const auto& [name, bytes] : last) held = held && data.count(name);
  for (const Text& slot : kSlots) held = held || FilesIn(l.disk, slot) == last;
  if (!held) fault(u"the last finished backup is nowhere whole");
  return faults;
}

// After the crash state: the user clears the history and exits. No cleared text may stay
// in the data folder or in the slot that exit wrote.
std::vector<std::string> CheckClearedTextsGone(Machine& m) {
  std::vector<std::string> faults;
  gui::headless::QueueAnswer(true);
  m.form->Img_ClrerClick();
  m.Exit();
  for (const Text& folder : {kData, kSlots[m.form->backupSlot == 1 ? 0 : 1]})
    for (const auto& [name, bytes] : FilesIn(m.fs.Now(), folder))
      if (bytes.find("text-") != std::string::npos || bytes.find("old-") != std::string::npos)
        faults.push_back("cleared texts kept in " + core::ToUtf8(folder + u"\\" + name));
  return faults;
}

struct Sequence {
  const char* name;
  std::function<void(Machine&)> prepare, act;  // prepare runs on top of two finished runs
  bool clears = false;
};
void PrintTo(const Sequence& seq, std::ostream* os) { *os << seq.name; }

void Previous(Machine& m) {
  m.clock.now = {2026, 12, 9, 10, 0, 0};
  m.Start();
  for (const char16_t* t : {u"old-1", u"old-2\r\nsecond line", u"old-3"}) m.Copy(t);
  m.Edit([&] { m.form->Img_SvClick(); }, u"first", u"entry one");
  m.Edit([&] { m.form->Img_SvClick(); }, u"second", u"entry two");
  m.Exit();
  m.Start();
  m.Exit();
  m.clock.now.hour = 12;
}

void OpenFirstEntry(Machine& m) {
  m.form->Img_ListClick();
}

const Sequence kSequences[] = {
    {"ExitIntoSlot2", {}, [](Machine& m) { m.Start(); m.Copy(u"text-a"); m.Copy(kHeaderLike); m.Exit(); }},
    {"ExitIntoSlot1", [](Machine& m) { m.Start(); m.Exit(); },
     [](Machine& m) { m.Start(); m.Copy(u"text-a"); m.Exit(); }},
    {"SaveNewEntry", {}, [](Machine& m) {
       m.Start();
       m.Edit([&] { m.form->Img_SvClick(); }, u"third", u"entry three");
     }},
    {"EditEntry", {}, [](Machine& m) {
       m.Start();
       OpenFirstEntry(m);
       m.Edit([&] { m.form->Img_EditClick(); }, u"first renamed", u"entry one edited");
     }},
    {"DeleteEntry", {}, [](Machine& m) {
       m.Start();
       OpenFirstEntry(m);
       gui::headless::QueueAnswer(true);
       m.form->Img_DelClick();
     }},
    {"ClearHistory", [](Machine& m) { m.Start(); m.Copy(u"text-j"); m.form.reset(); },
     [](Machine& m) {
       m.Start();
       gui::headless::QueueAnswer(true);
       m.form->Img_ClrerClick();
     }, true},
    {"RecordTenTexts", {}, [](Machine& m) {
       m.Start();
       for (int i = 0; i < 9; ++i) m.Copy(u"text-" + core::IntToText(i));
       m.Copy(kHeaderLike);
     }},
    {"StartAfterKilledRun", [](Machine& m) {
       m.Start();
       m.Copy(u"text-k1");
       m.Copy(kHeaderLike);
       m.form.reset();  // killed: no exit
     },
     [](Machine& m) { m.Start(); m.Exit(); }},
};

class CrashAtEveryStep : public ::testing::TestWithParam<Sequence> {};

TEST_P(CrashAtEveryStep, StartUpFindsEverythingDurable) {
  const Sequence& seq = GetParam();
  Machine run(Disk{{}, {{u"C:\\app", true}}});
  Previous(run);
  if (seq.prepare) seq.prepare(run);
  run.form.reset();
  run.fs.Forget();
  for (Recorded& t : run.texts) t.durableAt = 0;
  const Loaded before = [&] { Machine m(run.fs.Now()); return Load(m); }();
  seq.act(run);
  run.form.reset();
  const Loaded after = [&] { Machine m(run.fs.Now()); return Load(m); }();

  // Bytes not flushed at the crash: lost, cut at three points, all there, or garbage.
  using Cut = std::function<std::string(const std::string&, const std::string&)>;
  const Cut cuts[] = {
      [](const std::string& d, const std::string&) { return d; },
      [](const std::string& d, const std::string& a) { return a.substr(0, d.size() + 1); },
      [](const std::string& d, const std::string& a) { return a.substr(0, (d.size() + a.size()) / 2); },
      [](const std::string&, const std::string& a) { return a.substr(0, a.size() - 1); },
      [](const std::string&, const std::string& a) { return a; },
      [](const std::string& d, const std::string& a) {
        std::string g = d;
        for (std::size_t i = d.size(); i < a.size(); ++i) g += "\xFF\0\\\r\n"[i % 5];
        return g;
      },
  };
  int states = 0, known = 0;
  std::vector<std::string> faults;
  for (std::size_t k = 0; k <= run.fs.Ops().size(); ++k) {
    const Disk replayed = run.fs.Replay(k);
    const std::size_t variants = CrashFileSystem::Unflushed(replayed) ? std::size(cuts) : 1;
    for (std::size_t v = 0; v < variants; ++v) {
      ++states;
      Machine m(CrashFileSystem::Crash(replayed, cuts[v]));
      m.clock.now = run.clock.now;
      const Loaded l = Load(m);
      std::vector<std::string> found = Check(l, before, after, run.texts, k, seq.clears, known);
      for (const std::string& f : CheckClearedTextsGone(m)) found.push_back(f);
      for (const std::string& f : found)
        faults.push_back("after change " + std::to_string(k) + " (cut " + std::to_string(v) + "): " + f);
    }
  }
  std::cout << "[ crash    ] " << seq.name << ": " << states << " crash states checked";
  if (known) std::cout << " (" << known << " with the header-like text doubled, a known fault)";
  std::cout << "\n";
  if (!faults.empty()) ADD_FAILURE() << faults.size() << " faults in " << states << " crash states";
  for (std::size_t i = 0; i < faults.size() && i < 5; ++i) ADD_FAILURE() << faults[i];
}

INSTANTIATE_TEST_SUITE_P(Table, CrashAtEveryStep, ::testing::ValuesIn(kSequences),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace crash_test
