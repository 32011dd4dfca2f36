// The settings file: name, value syntax, what start-up reads and what the exit writes.
#include "core/settings.h"
#include "form_fixture.h"

namespace {

using namespace testing_support;
using core::ParseProfileBoolean;
using core::ParseProfileInteger;

TEST(SettingsPathTest, ExtensionOfTheFileNameIsReplaced) {
  EXPECT_EQ(core::SettingsPathFor(u"C:\\Tools\\Soramitsu.exe"), u"C:\\Tools\\Soramitsu.ini");
  EXPECT_EQ(core::SettingsPathFor(u"C:\\Tools\\soramitsu2.EXE"), u"C:\\Tools\\soramitsu2.ini");
  EXPECT_EQ(core::SettingsPathFor(u"C:\\v1.2\\prog"), u"C:\\v1.2\\prog.ini");
  EXPECT_EQ(core::SettingsPathFor(u"C:\\a\\x.y.exe"), u"C:\\a\\x.y.ini");
}

TEST(ProfileIntegerTest, Syntax) {
  struct Case { const char16_t* text; std::optional<int> value; };
  const Case cases[] = {
      {u"0x500", 1280}, {u"0X1f", 31},      {u"0x7FFFFFFF", 2147483647},
      {u"abc", {}},     {u"-5", -5},        {u" 12", 12},
      {u"  -12", -12},  {u"$1F", 31},       {u"x10", 16},
      {u"X10", 16},     {u"+7", 7},         {u"-$10", -16},
      {u"0", 0},        {u"007", 7},        {u"2147483647", 2147483647},
      {u"-2147483648", -2147483647 - 1},    {u"2147483648", {}},
      {u"99999999999999999999999", {}},     {u"0x100000000", {}},
      {u"", {}},        {u"0x", {}},        {u"$", {}},
      {u"0xZ1", {}},    {u"0x-5", {}},      {u"12 ", {}},
      {u"1.5", {}},     {u"--1", {}},       {u"x", {}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ParseProfileInteger(c.text), c.value) << core::ToUtf8(c.text);
}

TEST(ProfileBooleanTest, NumbersThenTrueOrFalse) {
  for (const char16_t* t : {u"True", u"TRUE", u"true", u"tRuE", u"-1", u"1", u"2", u"0x1"})
    EXPECT_EQ(ParseProfileBoolean(t), true) << core::ToUtf8(t);
  for (const char16_t* t : {u"False", u"false", u"FALSE", u"0", u"0x0", u"-0"})
    EXPECT_EQ(ParseProfileBoolean(t), false) << core::ToUtf8(t);
  for (const char16_t* t : {u"", u"yes", u"on", u"Truex", u"T"})
    EXPECT_EQ(ParseProfileBoolean(t), std::nullopt) << core::ToUtf8(t);
  EXPECT_EQ(core::ProfileBooleanText(true), u"-1");
  EXPECT_EQ(core::ProfileBooleanText(false), u"0");
}

class SettingsFileTest : public AppFolderTest {
 protected:
  fs::path Ini() const { return root / "Soramitsu.ini"; }
  void WriteIni(const std::string& body) { WriteBytes(Ini(), body); }
};

TEST_F(SettingsFileTest, NamedAfterTheExecutable) {
  services_.fileSystem.SetExecutablePath(U16(root.string() + "/Other.exe"));
  WriteBytes(root / "Other.ini", "[GAMEN]\r\nWIDTH=900\r\n");
  EXPECT_EQ(Start().Width(), 900);
  EXPECT_EQ(form->SettingsPath(), U16(root.string() + "/Other.ini"));
}

TEST_F(SettingsFileTest, GeometryValues) {
  WriteIni("[GAMEN]\r\nTOP=0x10\r\nLEFT=$20\r\nWIDTH=0x500\r\nHEIGHT=abc\r\n");
  ui::TMainForm& f = Start();
  EXPECT_EQ(f.Bounds(), (gui::Rect{32, 16, 1280, 683}));
  EXPECT_EQ(f.StringGrid1.Width(), 1280 - 370);  // each size change ran the resize rule
}

TEST_F(SettingsFileTest, NegativeWidthIsHandedOn) {
  WriteIni("[gamen]\r\nwidth=-5\r\n");  // names are matched without regard to case
  EXPECT_EQ(Start().Width(), -5);
}

TEST_F(SettingsFileTest, BackupState) {
  WriteIni("[BKUP]\r\nFLG=0\r\nDATE1=2016/03/04 10:00:00\r\nDATE2=2016/03/05 21:07:09\r\n");
  ui::TMainForm& f = Start();
  EXPECT_EQ(f.Ini_BkupFlg, 0);
  EXPECT_EQ(f.Ini_BkupDate1, u"2016/03/04 10:00:00");
  EXPECT_EQ(f.Ini_BkupDate2, u"2016/03/05 21:07:09");
}

TEST_F(SettingsFileTest, CheckViewValues) {
  struct Case { const char* value; bool checked; };
  for (const Case& c : {Case{"True", true}, {"-1", true}, {"1", true}, {"false", false},
                        {"0", false}, {"junk", false}}) {
    WriteIni(std::string("[SET]\r\nCHECKVIEW=") + c.value + "\r\n");
    ui::TMainForm& f = Start();
    EXPECT_EQ(f.N4->Checked(), c.checked) << c.value;
    EXPECT_TRUE(gui::headless::ShownBoxes().empty()) << c.value;
    form.reset();
  }
}

TEST_F(SettingsFileTest, NewFileAfterTheFirstExit) {
  ui::TMainForm& f = Start();
  f.Ini_BkupFlg = 0;
  f.Ini_BkupDate2 = u"2016/03/05 21:07:09";
  f.WriteSettings();
  EXPECT_EQ(ReadBytes(Ini()),
            "[GAMEN]\r\nTOP=200\r\nLEFT=200\r\nWIDTH=1088\r\nHEIGHT=683\r\n"
            "[BKUP]\r\nFLG=0\r\nDATE1=\r\nDATE2=2016/03/05 21:07:09\r\n"
            "[SET]\r\nCHECKVIEW=0\r\n");
  EXPECT_EQ(f.Ini_CheckView, u"0");
}

TEST_F(SettingsFileTest, OptionAndFrameSurviveARestart) {
  ui::TMainForm& f = Start();
  f.N4->Click();
  f.SetBounds({-20, 15, 900, 650});
  f.WriteSettings();
  EXPECT_EQ(f.Ini_CheckView, u"-1");
  form.reset();
  ui::TMainForm& again = Start();
  EXPECT_TRUE(again.N4->Checked());
  EXPECT_EQ(again.Bounds(), (gui::Rect{-20, 15, 900, 650}));
}

TEST_F(SettingsFileTest, UnknownSectionsAndKeysAreKept) {
  WriteIni("; note\r\n[OTHER]\r\nA=1\r\n[GAMEN]\r\nTOP=5\r\nZOOM=2\r\n");
  Start().WriteSettings();
  // Known keys are replaced where they stand, missing ones added at the end of their section.
  EXPECT_EQ(ReadBytes(Ini()),
            "; note\r\n[OTHER]\r\nA=1\r\n[GAMEN]\r\nTOP=5\r\nZOOM=2\r\nLEFT=200\r\n"
            "WIDTH=1088\r\nHEIGHT=683\r\n[BKUP]\r\nFLG=1\r\nDATE1=\r\nDATE2=\r\n"
            "[SET]\r\nCHECKVIEW=0\r\n");
}

// A window peer that reports being minimised with the frame it had before.
class MinimizedPeer : public gui::FormPeer {
 public:
  explicit MinimizedPeer(gui::Rect restored) : restored_(restored) {}
  void Show() override {}
  void ShowModal() override {}
  void Destroy() override {}
  void* NativeHandle() const override { return nullptr; }
  gui::Rect RestoredFrame() const override { return restored_; }
  bool IsMinimized() const override { return true; }

 private:
  gui::Rect restored_;
};

TEST_F(SettingsFileTest, MinimisedWindowStoresItsRestoredFrame) {
  ui::TMainForm& f = Start();
  f.AttachFormPeer(std::make_unique<MinimizedPeer>(gui::Rect{300, 100, 1000, 700}));
  f.FrameChangedByUser({-32000, -32000, 160, 28}, {300, 100, 1000, 700});
  f.WriteSettings();
  const std::string bytes = ReadBytes(Ini());
  EXPECT_NE(bytes.find("TOP=100\r\nLEFT=300\r\nWIDTH=1000\r\nHEIGHT=700\r\n"), std::string::npos)
      << bytes;
}

TEST_F(SettingsFileTest, MaximisedWindowStoresTheMaximisedFrame) {
  ui::TMainForm& f = Start();
  f.FrameChangedByUser({-8, -8, 1296, 1000}, {200, 200, 1088, 683});
  f.WriteSettings();
  EXPECT_NE(ReadBytes(Ini()).find("TOP=-8\r\nLEFT=-8\r\nWIDTH=1296\r\nHEIGHT=1000\r\n"),
            std::string::npos);
}

TEST_F(SettingsFileTest, FailedWriteNamesTheFile) {
  ui::TMainForm& f = Start();
  fs::create_directory(Ini());  // nothing can be written where a folder stands
  try {
    f.WriteSettings();
    FAIL() << "no error";
  } catch (const core::AppError& error) {
    EXPECT_EQ(error.message(), U16(root.string() + "/Soramitsu.ini に書き込めません"));
  }
}

// A frame stored while another monitor was attached: the window is moved back to the
// default place unless its title bar can be grabbed in a monitor's work area, its whole
// height and 40 pixels of its width (the icon and the buttons do not count). Measured as
// the state-only backend draws a title bar: 8 + 24 from the left, 8 + 108 from the right,
// 8 to 31 from the top.
TEST_F(SettingsFileTest, FrameWithoutAReachableTitleBarGivesWayToTheDefault) {
  const gui::Rect defaultFrame{200, 200, 1088, 683};
  const std::vector<gui::Rect> one{{0, 0, 1280, 984}};
  const std::vector<gui::Rect> two{{0, 0, 1280, 984}, {-1920, -200, 1920, 1040}};
  struct Case {
    gui::Rect stored;
    const std::vector<gui::Rect>& monitors;
    bool kept;
  };
  for (const Case& c : {Case{{1500, 100, 900, 600}, one, false},    // right of the screen
                        Case{{-1500, 200, 1088, 683}, one, false},   // the left monitor is gone
                        Case{{-1500, 200, 1088, 683}, two, true},    // ... and still there
                        Case{{200, -670, 1088, 683}, one, false},    // its foot on the screen
                        Case{{200, 984, 1088, 683}, one, false},     // on the task bar's foot
                        Case{{1279, 983, 500, 400}, one, false},     // one pixel in the corner
                        Case{{-8, -8, 1296, 1000}, one, true},       // as stored maximised
                        Case{{200, -9, 1088, 683}, one, false},      // caption one pixel above
                        Case{{200, 953, 1088, 683}, one, true},      // caption just above the bar
                        Case{{1208, 100, 900, 600}, one, true},      // 40 pixels of caption
                        Case{{1209, 100, 900, 600}, one, false},     // 39
                        Case{{-784, 100, 900, 600}, one, false},     // only its buttons
                        Case{{40, 30, 700, 500}, one, true}}) {
    SCOPED_TRACE(testing::Message() << c.stored.left << "," << c.stored.top);
    form.reset();
    gui::headless::Reset();
    gui::headless::SetMonitorWorkAreas(c.monitors);
    WriteIni("[GAMEN]\r\nTOP=" + std::to_string(c.stored.top) + "\r\nLEFT=" +
             std::to_string(c.stored.left) + "\r\nWIDTH=" + std::to_string(c.stored.width) +
             "\r\nHEIGHT=" + std::to_string(c.stored.height) + "\r\n");
    ui::TMainForm& f = Start();
    gui::Realize(f);
    f.KeepFrameOnAMonitor();
    EXPECT_EQ(f.Bounds(), c.kept ? c.stored : defaultFrame);
    // The layout follows the frame the window now has.
    EXPECT_EQ(f.StringGrid1.Width(), f.Width() - 370);
    EXPECT_EQ(f.Img_Logo.Bounds().Right(), f.StringGrid1.Bounds().Right());
    EXPECT_EQ(f.Img_Logo.Bounds().Bottom(), f.StringGrid1.Bounds().Bottom());
  }
}

}  // namespace
