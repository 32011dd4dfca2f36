// A crash at every step: each sequence runs once on the recording disk, then the program
// starts on every disk a crash after any of its changes could leave, and what it loads is
// checked against what the sequence had made durable by then.
#include <gtest/gtest.h>

#include <functional>
#include <iostream>
#include <memory>
#include <utility>

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

// A text with an inner line that begins like a record header: the history file reads it
// back as two records, which the journal's recovery must not take for a missing one.
const Text kMarker = u"\\\\内容\\\\=";
const Text kHeaderLike = u"text-hdr first line\r\n" + kMarker + u"2026/12/05 10:00:00 inner";
const Text kData = u"C:\\app\\Data", kSettings = u"C:\\app\\Soramitsu.ini";
const Text kSlots[] = {u"C:\\app\\Bkup1", u"C:\\app\\Bkup2"};

// Settings as the Windows layer writes them: the keys go into a copy of the file, which
// replaces the file when flushed.
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
    if (!std::exchange(staged_, false)) return true;
    disk_.WriteFileAtomic(path, scratch_.ReadFile(path));
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

// The program on a disk, with what start-up loaded.
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
  // Loaded at the last Start(): stamp and text of each history row, category and title by
  // created key, the slots' dates, the notices shown, and the disk start-up left.
  std::vector<std::pair<Text, Text>> history;
  std::map<Text, Text> entries;
  Text dates[2];
  std::vector<Text> notices;
  Disk disk;

  void Start() {
    form.reset();
    gui::headless::Reset();
    form = std::make_unique<ui::TMainForm>(services);
    EXPECT_TRUE(form->clipboardReader.WaitFor(10000));
    history.clear();
    entries.clear();
    notices.clear();
    const core::CellTable& h = form->StringGrid1.Table();
    for (int r = 1; r <= form->Log_Cnt; ++r)
      history.push_back({h.Cell(core::history::kStampCol, r), h.Cell(core::history::kTextCol, r)});
    const core::CellTable& s = form->StringGrid2.Table();
    for (int r = 1; r < s.RowCount(); ++r)
      entries[s.Cell(core::kSavedColCreated, r)] = s.Cell(core::kSavedColCategory, r) + u"," + s.Cell(core::kSavedColTitle, r);
    dates[0] = form->Ini_BkupDate1;
    dates[1] = form->Ini_BkupDate2;
    for (const auto& box : gui::headless::ShownBoxes()) notices.push_back(box.text);
    disk = fs.Now();
  }
  void Copy(const Text& text) {
    ++clock.now.second;
    clipboard.CopyText(text);
    form->Timer2Timer();
    EXPECT_TRUE(form->clipboardReader.WaitFor(10000));
    texts.push_back({core::FormatStamp(clock.now), text, fs.Ops().size()});
  }
  void Exit() {
    ++clock.now.minute;
    ASSERT_TRUE(form->Close());
  }
  // The entry editor, opened by `open`, stores `text` under `title`.
  void Edit(void (ui::TMainForm::*open)(), const Text& title, const Text& text) {
    gui::headless::SetModalHandler([&](gui::Form& dialog) {
      auto& editor = static_cast<ui::TEdtForm&>(dialog);
      editor.ComboBox1.SetText(u"cat");
      editor.Edt_Titol.SetText(title);
      editor.Memo1.SetText(text);
      editor.Img_Sv.Click();
    });
    (form.get()->*open)();
    gui::headless::SetModalHandler({});
  }
};

std::map<Text, std::string> FilesIn(const Disk& d, const Text& folder) {
  std::map<Text, std::string> files;
  for (const auto& [path, file] : d.files)
    if (CrashFileSystem::Parent(path) == folder) files[path.substr(folder.size() + 1)] = file.current;
  return files;
}
template <class Map>
bool Holds(const Map& map, const typename Map::key_type& key, const typename Map::mapped_type& value) {
  auto it = map.find(key);
  return it != map.end() && it->second == value;
}

// The faults of the state `l` loaded, `changes` into the sequence that went from `before`
// to `after`.
std::vector<std::string> Check(Machine& l, const Machine& before, const Machine& after,
                               std::size_t changes, bool clears) {
  std::vector<std::string> faults;
  auto fault = [&](const Text& what) { faults.push_back(core::ToUtf8(what)); };
  for (const Text& n : l.notices) {
    bool defined = n.starts_with(u"前回正しく終了できなかったため保存されていなかった履歴を、");
    for (int c = 1; c < 10; ++c)
      defined = defined || n == core::UnreadableLinesNotice(c, kData + u"\\" + core::kUnreadableIndexFileName);
    if (!defined) fault(u"notice: " + n);
  }
  for (const Recorded& t : after.texts) {
    int found = 0;  // the text whole, or as far as the history file reads it back
    for (const auto& [stamp, text] : l.history)
      found += stamp == t.stamp && (text == t.text || t.text.starts_with(text + u"\r\n" + kMarker));
    if (found > 1 || (found == 0 && changes >= t.durableAt && !clears))
      fault(u"history holds " + t.text + u" " + core::IntToText(found) + u" times");
  }
  const auto data = FilesIn(l.disk, kData), dataBefore = FilesIn(before.disk, kData), dataAfter = FilesIn(after.disk, kData);
  for (const auto& [key, title] : l.entries) {
    if (key.empty()) continue;
    const Text name = core::ContentFileName(key);
    if (!Holds(before.entries, key, title) && !Holds(after.entries, key, title)) fault(u"entry " + key + u" reads " + title);
    if (!data.count(name)) fault(u"entry " + key + u" has no content file");
    else if (!Holds(dataBefore, name, data.at(name)) && !Holds(dataAfter, name, data.at(name))) fault(u"entry " + key + u" has mixed text");
  }
  for (const auto& [key, title] : before.entries)
    if (after.entries.count(key) && !l.entries.count(key)) fault(u"entry " + key + u" lost");
  for (const auto& [name, bytes] : data) {
    const bool own = name == u"Log.dat" || name == u"Log.journal" || name == core::kIndexFileName ||
                     name == core::kUnreadableIndexFileName || (name.size() == 20 && core::IsCreatedKey(name.substr(1, 15)) &&
                                                                     name == core::ContentFileName(name.substr(1, 15)));
    if (!own) fault(u"Data holds " + name + u" after start-up");
  }
  auto settings = [](const Machine& m) {
    auto file = m.disk.files.find(kSettings);
    return file == m.disk.files.end() ? std::string("-") : file->second.current;
  };
  if (settings(l) != settings(before) && settings(l) != settings(after)) fault(u"the settings file is mixed");
  // A slot named with the sequence's date holds the sequence's copy; the newest slot named,
  // the other slot or the data folder holds all that the last finished backup held.
  for (int s = 0; s < 2; ++s)
    if (l.dates[s] != before.dates[s] && l.dates[s] == after.dates[s] && FilesIn(l.disk, kSlots[s]) != FilesIn(after.disk, kSlots[s]))
      fault(u"slot " + kSlots[s] + u" named but not finished");
  const int newest = l.dates[0] >= l.dates[1] ? 0 : 1;
  const auto last = FilesIn((l.dates[newest] != before.dates[newest] ? after : before).disk, kSlots[newest]);
  bool held = true;
  for (const auto& [name, bytes] : last) held = held && data.count(name);
  for (const Text& slot : kSlots) held = held || FilesIn(l.disk, slot) == last;
  if (!held) fault(u"the last finished backup is nowhere whole");

  // Then the user clears the history and exits: no cleared text may stay in the data
  // folder or in the slot that exit wrote.
  gui::headless::QueueAnswer(true);
  l.form->Img_ClrerClick();
  l.Exit();
  for (const Text& folder : {kData, kSlots[l.form->backupSlot == 1 ? 0 : 1]})
    for (const auto& [name, bytes] : FilesIn(l.fs.Now(), folder))
      if (bytes.find("text-") != std::string::npos || bytes.find("old-") != std::string::npos)
        fault(u"cleared texts kept in " + folder + u"\\" + name);
  return faults;
}

struct Sequence {
  const char* name;
  std::function<void(Machine&)> prepare, act;  // prepare runs after two finished runs
  bool clears = false;
};
void PrintTo(const Sequence& seq, std::ostream* os) { *os << seq.name; }

const Sequence kSequences[] = {
    {"ExitIntoSlot2", {}, [](Machine& m) { m.Start(); m.Copy(u"text-a"); m.Copy(kHeaderLike); m.Exit(); }},
    {"ExitIntoSlot1", [](Machine& m) { m.Start(); m.Exit(); },
     [](Machine& m) { m.Start(); m.Copy(u"text-a"); m.Exit(); }},
    {"SaveNewEntry", {}, [](Machine& m) { m.Start(); m.Edit(&ui::TMainForm::Img_SvClick, u"third", u"entry three"); }},
    {"EditEntry", {}, [](Machine& m) {
       m.Start();
       m.form->Img_ListClick();  // the first entry is chosen
       m.Edit(&ui::TMainForm::Img_EditClick, u"first renamed", u"entry one edited");
     }},
    {"DeleteEntry", {}, [](Machine& m) {
       m.Start();
       m.form->Img_ListClick();
       gui::headless::QueueAnswer(true);
       m.form->Img_DelClick();
     }},
    {"ClearHistory", [](Machine& m) { m.Start(); m.Copy(u"text-j"); m.form.reset(); },
     [](Machine& m) { m.Start(); gui::headless::QueueAnswer(true); m.form->Img_ClrerClick(); }, true},
    {"RecordTenTexts", {}, [](Machine& m) {
       m.Start();
       for (int i = 0; i < 9; ++i) m.Copy(u"text-" + core::IntToText(i));
       m.Copy(kHeaderLike);
     }},
    {"StartAfterKilledRun", [](Machine& m) { m.Start(); m.Copy(u"text-k1"); m.Copy(kHeaderLike); m.form.reset(); },
     [](Machine& m) { m.Start(); m.Exit(); }},
};

class CrashAtEveryStep : public ::testing::TestWithParam<Sequence> {};

TEST_P(CrashAtEveryStep, StartUpFindsEverythingDurable) {
  const Sequence& seq = GetParam();
  Machine run(Disk{{}, {{u"C:\\app", true}}});
  run.clock.now = {2026, 12, 9, 10, 0, 0};
  run.Start();
  for (const char16_t* t : {u"old-1", u"old-2\r\nsecond line", u"old-3"}) run.Copy(t);
  run.Edit(&ui::TMainForm::Img_SvClick, u"first", u"entry one");
  run.Edit(&ui::TMainForm::Img_SvClick, u"second", u"entry two");
  run.Exit();
  run.Start();
  run.Exit();
  run.clock.now.hour = 12;
  if (seq.prepare) seq.prepare(run);
  run.form.reset();
  run.fs.Forget();
  for (Recorded& t : run.texts) t.durableAt = 0;
  Machine before(run.fs.Now());
  before.Start();
  seq.act(run);
  run.form.reset();
  Machine after(run.fs.Now());
  after.Start();
  after.texts = run.texts;

  // Where the unflushed bytes end: lost (0), cut after one byte, half, all but one, all
  // there (4); 5 fills them with garbage.
  auto cut = [](std::size_t v, const std::string& d, const std::string& a) {
    const std::size_t ends[] = {d.size(), d.size() + 1, (d.size() + a.size()) / 2, a.size() - 1, a.size()};
    std::string g = a.substr(0, v < 5 ? ends[v] : d.size());
    while (g.size() < a.size() && v == 5) g += "\xFF\0\\\r\n"[g.size() % 5];
    return g;
  };
  int states = 0;
  std::vector<std::string> faults;
  for (std::size_t k = 0; k <= run.fs.Ops().size(); ++k) {
    const Disk replayed = run.fs.Replay(k);
    for (std::size_t v = 0; v < (CrashFileSystem::Unflushed(replayed) ? 6 : 1); ++v, ++states) {
      Machine m(CrashFileSystem::Crash(replayed, [&](const std::string& d, const std::string& a) { return cut(v, d, a); }));
      m.clock.now = run.clock.now;
      m.Start();
      for (const std::string& f : Check(m, before, after, k, seq.clears))
        faults.push_back("after change " + std::to_string(k) + " (cut " + std::to_string(v) + "): " + f);
    }
  }
  std::cout << "[ crash    ] " << seq.name << ": " << states << " crash states checked\n";
  if (!faults.empty()) ADD_FAILURE() << faults.size() << " faults in " << states << " crash states";
  for (std::size_t i = 0; i < faults.size() && i < 5; ++i) ADD_FAILURE() << faults[i];
}

INSTANTIATE_TEST_SUITE_P(Table, CrashAtEveryStep, ::testing::ValuesIn(kSequences),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace crash_test
