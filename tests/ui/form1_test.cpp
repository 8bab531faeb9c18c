// The settings window: pages, caption, keyboard, loading, saving and the
// address cache, driven through the real controls.
#include <filesystem>

#include "form1_fixture.h"
#include "platform/display_text.h"
#include "platform/file_lock.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "support/held_file.h"

namespace tarn::testing {
namespace {

TEST_F(Form1Test, ServerPageOnlyForAFileNamedTarnbrokerInTheWorkingDirectory) {
  Open();
  EXPECT_FALSE(Shown(TabSheet1));
  EXPECT_EQ(Window().TabCount(), 1);
  EXPECT_EQ(Window().ActivePage(), TabSheet2);
  Reset();

  std::filesystem::create_directory(FsPath(sandbox_.Path("work/tarnbroker.exe")));
  Open();
  EXPECT_FALSE(Shown(TabSheet1)) << "a directory does not count";
  Reset();
  std::filesystem::remove(FsPath(sandbox_.Path("work/tarnbroker.exe")));

  // Beside the executable, with another working directory.
  std::string beside = ExeDir() + "tarnbroker.exe";
  WriteFile(beside, "");
  Open();
  EXPECT_FALSE(Shown(TabSheet1)) << "only the working directory counts";
  Reset();
  std::filesystem::remove(FsPath(beside));

  OfferServerPage();
  Open();
  EXPECT_TRUE(Shown(TabSheet1));
  EXPECT_EQ(Window().TabCount(), 2);
  EXPECT_EQ(Window().ActivePage(), TabSheet1);
}

TEST_F(Form1Test, EveryRowOfTheLayoutBecomesANamedControl) {
  OfferServerPage();
  Open("quelmont-not-installed");
  std::span<const ControlSpec> layout = Form1Layout();
  ASSERT_EQ(layout.size(), size_t{kControlCount});
  for (size_t i = 0; i < layout.size(); ++i) {
    const ControlSpec& row = layout[i];
    EXPECT_EQ(row.id, static_cast<ControlId>(i)) << row.name;
    if (row.kind == ControlKind::kTabSheet) continue;
    Rect rect = Window().Geometry(row.id);
    EXPECT_EQ(rect.left, row.left) << row.name;
    EXPECT_EQ(rect.top, row.top) << row.name;
    EXPECT_EQ(rect.height, row.height) << row.name;
    bool grows = row.kind == ControlKind::kLabel || row.kind == ControlKind::kCheckBox;
    EXPECT_TRUE(grows ? rect.width >= row.width : rect.width == row.width) << row.name;
    EXPECT_EQ(Shown(row.id), row.shown) << row.name;
  }
  EXPECT_EQ(Text(Button3), "Limpar \"cache\" de endere\xE7os");
}

TEST_F(Form1Test, TabVisitsTheControlsInTheirRanksPageFirstThenTheButtons) {
  Open();
  const ControlId cycle[] = {PageControl1, Edit4, CheckBox2, CheckBox4, CheckBox6, Button3,
                             Edit8,        Edit12, Button1,  Button2,   PageControl1};
  Window().Focus(PageControl1);
  for (size_t i = 1; i < std::size(cycle); ++i) {
    Window().Press(WindowDriver::Key::kTab);
    EXPECT_EQ(Window().Focused(), cycle[i]) << Form1Layout()[static_cast<size_t>(cycle[i])].name;
  }
  Window().Press(WindowDriver::Key::kTab, /*shift=*/true);
  EXPECT_EQ(Window().Focused(), Button2) << "Shift+Tab goes back";
}

TEST_F(Form1Test, SpaceWorksTheFocusedControlAndCtrlTabTurnsThePage) {
  OfferServerPage();
  Open();
  Window().Focus(Edit9);
  Window().Press(WindowDriver::Key::kTab, false, /*control=*/true);
  EXPECT_EQ(Window().ActivePage(), TabSheet2);
  Window().Focus(CheckBox2);
  Window().Press(WindowDriver::Key::kSpace);
  EXPECT_TRUE(Checked(CheckBox2));
  Window().Focus(Button3);
  Window().Press(WindowDriver::Key::kSpace);
  EXPECT_EQ(Messages(), std::vector<std::string>{kTitle + "|Cache limpo"});
  Window().Press(WindowDriver::Key::kTab, /*shift=*/true, /*control=*/true);
  EXPECT_EQ(Window().ActivePage(), TabSheet1);
}

TEST_F(Form1Test, CaptionEndsWithTheExecutablesDirectory) {
  Open();
  EXPECT_EQ(Window().Caption(), kCaptionStart + sandbox_.Dir());
  EXPECT_EQ(Window().ClientArea(), (Rect{0, 0, 286, 413})) << "client area 280 x 407 within a border of 3";
  EXPECT_TRUE(Window().FixedDialogFrame());
  // Centred before the window manager's frame is known: off by at most the frame.
  EXPECT_LE(Window().DistanceFromScreenCentre(), 8);
}

// The caption shows the folder by its real name, whatever characters it
// holds: Windows-1252's, another code page's (Polish), or those of no ANSI
// code page (Greek with Japanese). The names are UTF-8, as the program holds
// paths.
TEST_F(Form1Test, CaptionShowsTheFoldersRealName) {
  for (const char* name : {"ção", "Łódź", "Ωμέγα 東京"}) {
    settings_dir_ = sandbox_.Path(name + kSep);
    Open();
    EXPECT_EQ(Window().Caption(), kCaptionStart + settings_dir_);
    Reset();
  }
}

// The folder's name is UTF-8, as the program holds paths; the window's
// messages are Windows-1252 text.
TEST_F(Form1Test, AnAccentedFolderIsShownInTheProgramsTextAndWrittenByItsRealName) {
  settings_dir_ = sandbox_.Path("\xC3\xA7\xC3\xA3o" + kSep);
  std::filesystem::create_directories(FsPath(settings_dir_ + "tarnserver.ini"));  // cannot be written
  OfferServerPage();
  Open();
  Click(Button1);
  EXPECT_TRUE(std::filesystem::exists(FsPath(settings_dir_ + "tarnclient.ini")));
  // The client's file was saved before the server's failed: both are named.
  std::string folder = DisplayPath(sandbox_.Dir()) + "\xE7\xE3o" + kSep;
  EXPECT_EQ(Messages(), std::vector<std::string>{kTitle + "|Unable to write to " + folder + "tarnserver.ini; " + folder +
                                                 "tarnclient.ini was saved.|error"});
}

TEST_F(Form1Test, LoadsTheClientPageInMinutes) {
  WriteFile(sandbox_.Path("tarnclient.ini"),
            "[CLIENT]\r\nFORCEADDRESS=10.1.2.3\r\nDEBUG=1\r\nREQUESTCOMPRESSION=0\r\nTIMEOUT=59999\r\n"
            "USERTIMEOUT=90000\r\n");
  Open();
  EXPECT_EQ(Text(Edit4), "10.1.2.3");
  EXPECT_TRUE(Checked(CheckBox2));
  EXPECT_TRUE(Checked(CheckBox4));
  EXPECT_FALSE(Checked(CheckBox6));
  EXPECT_EQ(Text(Edit8), "0");
  EXPECT_EQ(Text(Edit12), "1");
}

TEST_F(Form1Test, LoadsTheServerPageRoundingHalfToEven) {
  OfferServerPage();
  struct Case {
    int bytes, bandwidth;
    const char *megabytes, *kbps;
  };
  for (Case c : {Case{1572864, 1536, "2", "2"}, Case{2621440, 2560, "2", "2"}, Case{3670016, 3584, "4", "4"},
                 Case{52428800, 10240, "50", "10"}, Case{0, 0, "0", "0"}}) {
    WriteFile(sandbox_.Path("tarnserver.ini"), "[SERVER]\r\nlog_size_limit=" + std::to_string(c.bytes) +
                                                   "\r\nmax_bandwidth=" + std::to_string(c.bandwidth) + "\r\n");
    Open();
    EXPECT_EQ(Text(Edit11), c.megabytes) << c.bytes;
    EXPECT_EQ(Text(Edit10), c.kbps) << c.bandwidth;
    Reset();
  }

  WriteFile(sandbox_.Path("tarnserver.ini"),
            "[SERVER]\r\nlog_level=3\r\nPriority=7\r\ncache_enabled=1\r\nForceCompatibility=1\r\nASSERVICE=1\r\n");
  Open();
  EXPECT_EQ(Text(Edit9), "3");
  EXPECT_EQ(Text(Edit5), "7") << "hidden beyond the page's width, it still carries its value";
  EXPECT_FALSE(Shown(Edit5));
  EXPECT_TRUE(Checked(CheckBox10));
  EXPECT_TRUE(Checked(CheckBox7));
  EXPECT_FALSE(Checked(CheckBox3));
  EXPECT_FALSE(Checked(CheckBox5));
  EXPECT_TRUE(Checked(CheckBox8)) << "the stored ASSERVICE";
}

TEST_F(Form1Test, StoredServiceFlagComesFromTheServerSettingsSource) {
  OfferServerPage();
  WriteRegistry("SERVER", "ASSERVICE", "1");
  Open();
  EXPECT_TRUE(Checked(CheckBox8)) << "without tarnserver.ini, from the registry";
  Reset();

  WriteFile(sandbox_.Path("tarnserver.ini"), "[SERVER]\r\nlog_level=1\r\n");
  Open();
  EXPECT_FALSE(Checked(CheckBox8)) << "the file, when it exists, is the only source";
}

TEST_F(Form1Test, WithoutTheServerPageItsControlsKeepTheirDesignedValues) {
  WriteFile(sandbox_.Path("tarnserver.ini"), "[SERVER]\r\nlog_level=3\r\nlog_size_limit=0\r\n");
  Open();
  EXPECT_EQ(Text(Edit9), "0");
  EXPECT_EQ(Text(Edit11), "100");
}

TEST_F(Form1Test, OkWritesBothFilesKeyByKeyAndCloses) {
  OfferServerPage();
  WriteFile(sandbox_.Path("tarnclient.ini"), "[CLIENT]\r\nFORCEADDRESS=10.1.2.3\r\n");
  Open();
  Type(Edit8, "abc");
  Type(Edit12, "");
  Type(Edit9, "2");
  Type(Edit11, "50");
  Type(Edit10, "16");
  Click(CheckBox2);  // unchecked: the forced address is cleared
  Click(CheckBox6);
  Click(Button1);

  EXPECT_EQ(ReadFile(sandbox_.Path("tarnclient.ini")),
            "[CLIENT]\r\nFORCEADDRESS=\r\nDEBUG=0\r\nREQUESTCOMPRESSION=1\r\nTIMEOUT=600000\r\nUSERTIMEOUT=600000\r\n");
  EXPECT_EQ(ReadFile(sandbox_.Path("tarnserver.ini")),
            "[QUORVAN]\r\nRangeIndex=\r\nRangeMax=\r\nRangeStart=\r\nRangeEnd=\r\n"
            "[SERVER]\r\nForceCounterAddress=\r\nPriority=0\r\ncache_enabled=0\r\nForceLogWrites=0\r\n"
            "AllowRemoteShutdown=0\r\nDALCOMPAT=0\r\nlog_level=2\r\nlog_size_limit=52428800\r\n"
            "multi_process_mode=2\r\nASSERVICE=0\r\nMAX_BANDWIDTH=16384\r\n");
  EXPECT_EQ(Messages(), std::vector<std::string>{kTitle + "|" + kClosing});
  EXPECT_FALSE(WindowOpen());
}

TEST_F(Form1Test, OkEmptiesTheCounterRangeAndForcedCounterAddress) {
  OfferServerPage();
  WriteFile(sandbox_.Path("tarnserver.ini"),
            "[QUORVAN]\r\nRangeIndex=5\r\nRangeMax=9\r\nRangeStart=100\r\nRangeEnd=200\r\n"
            "[SERVER]\r\nForceCounterAddress=10.0.0.9\r\nASSERVICE=1\r\nlog_size_limit=3670016\r\n");
  Open();
  Click(Button1);
  std::string server = ReadFile(sandbox_.Path("tarnserver.ini"));
  for (const char* line : {"\r\nRangeIndex=\r\n", "\r\nRangeMax=\r\n", "\r\nRangeStart=\r\n", "\r\nRangeEnd=\r\n",
                           "\r\nForceCounterAddress=\r\n", "\r\nASSERVICE=1\r\n", "\r\nlog_size_limit=4194304\r\n"}) {
    EXPECT_NE(server.find(line), std::string::npos) << line << " in " << server;
  }
}

TEST_F(Form1Test, OkWritesTheServerFileAlsoWhenClienteIsInFront) {
  OfferServerPage();
  Open();
  Type(Edit9, "4");
  Window().SelectPage(TabSheet2);
  Click(Button1);
  EXPECT_NE(ReadFile(sandbox_.Path("tarnserver.ini")).find("\r\nlog_level=4\r\n"), std::string::npos);
}

// "Cancelar" and Esc, as a dialog's users expect, close without writing.
TEST_F(Form1Test, CancelarAndEscWriteNothing) {
  for (bool escape : {false, true}) {
    OfferServerPage();
    Open();
    Type(Edit9, "4");
    if (escape) {
      Window().Focus(Edit9);
      Window().Press(WindowDriver::Key::kEscape);
    } else {
      Click(Button2);
    }
    EXPECT_FALSE(WindowOpen()) << (escape ? "Esc" : "Cancelar");
    EXPECT_FALSE(std::filesystem::exists(FsPath(sandbox_.Path("tarnclient.ini"))));
    EXPECT_FALSE(std::filesystem::exists(FsPath(sandbox_.Path("tarnserver.ini"))));
    EXPECT_TRUE(Messages().empty());
    Reset();
  }
}

TEST_F(Form1Test, EntriesTooLargeForTheirStoredValueAreRefusedBeforeAnyWrite) {
  OfferServerPage();
  Open();
  struct Case {
    ControlId edit;
    const char* entry;
    std::string message;
  };
  for (const Case& c : {
           Case{Edit8, "35792",
                "Tempo limite para requisi\xE7\xF5" "es ao servidor: o maior valor aceito \xE9 35791 minutos."},
           Case{Edit12, "-40000", "Tempo limite para solicitar login: o menor valor aceito \xE9 -35791 minutos."},
           Case{Edit11, "2048", "Limite: o maior valor aceito \xE9 2047 MB."},
           Case{Edit10, "2097152", "Limite de banda: o maior valor aceito \xE9 2097151 Kb/s."},
       }) {
    std::string before = Text(c.edit);
    Type(c.edit, c.entry);
    Click(Button1);
    EXPECT_EQ(Messages().back(), kTitle + "|" + c.message + "|error");
    EXPECT_TRUE(WindowOpen());
    EXPECT_FALSE(std::filesystem::exists(FsPath(sandbox_.Path("tarnclient.ini"))));
    Type(c.edit, before);
  }

  Type(Edit8, "35791");
  Type(Edit11, "2047");
  Type(Edit10, "2097151");
  Click(Button1);
  EXPECT_NE(ReadFile(sandbox_.Path("tarnclient.ini")).find("\r\nTIMEOUT=2147460000\r\n"), std::string::npos);
  std::string server = ReadFile(sandbox_.Path("tarnserver.ini"));
  EXPECT_NE(server.find("\r\nlog_size_limit=2146435072\r\n"), std::string::npos);
  EXPECT_NE(server.find("\r\nMAX_BANDWIDTH=2147482624\r\n"), std::string::npos);
}

TEST_F(Form1Test, AFailedWriteKeepsTheWindowOpenAndTheEarlierWrites) {
  OfferServerPage();
  // A directory where the server file should be cannot be written.
  std::filesystem::create_directory(FsPath(sandbox_.Path("tarnserver.ini")));
  Open();
  Click(Button1);
  ASSERT_EQ(record_.shown.size(), 1u);
  EXPECT_EQ(record_.shown[0].message.icon, MessageIcon::kError);
  EXPECT_EQ(record_.shown[0].message.title, kTitle);
  EXPECT_NE(record_.shown[0].message.text.find("tarnserver.ini"), std::string::npos)
      << record_.shown[0].message.text;
  EXPECT_TRUE(WindowOpen());
  EXPECT_NE(ReadFile(sandbox_.Path("tarnclient.ini")).find("\r\nUSERTIMEOUT="), std::string::npos);
}

// A settings file that another program holds when the window opens: the
// window says so, and OK refuses to put the defaults in its place.
TEST_F(Form1Test, AFileThatCouldNotBeReadIsNamedAndNotWrittenOver) {
  std::string file = sandbox_.Path("tarnclient.ini");
  WriteFile(file, "[CLIENT]\r\nTIMEOUT=120000\r\nDEBUG=1\r\n");
  {
    testing::HeldFile held(file);
    Open();
  }
  ASSERT_EQ(record_.shown.size(), 1u);
  EXPECT_TRUE(record_.shown[0].message.text.starts_with("N\xE3o foi poss\xEDvel ler " + DisplayPath(file) + ": "))
      << record_.shown[0].message.text;
  Click(Button1);
  ASSERT_EQ(record_.shown.size(), 2u);
  EXPECT_TRUE(record_.shown[1].message.text.starts_with("Unable to write to " + DisplayPath(file) + ": " +
                                                        DisplayPath(file) + " could not be read when the window opened"))
      << record_.shown[1].message.text;
  EXPECT_EQ(ReadFile(file), "[CLIENT]\r\nTIMEOUT=120000\r\nDEBUG=1\r\n");
  EXPECT_TRUE(WindowOpen());
}

// Two windows open on one folder: the second OK does not silently revert
// the first one's save. It asks; Não writes nothing, Sim writes its values.
TEST_F(Form1Test, OkAsksBeforeWritingOverASaveMadeSinceTheWindowRead) {
  std::string file = sandbox_.Path("tarnclient.ini");
  WriteFile(file, "[CLIENT]\r\nUSERTIMEOUT=1800000\r\n");
  Open();
  TForm1 first(application_, Form1Options{settings_dir_, QuelmontDouble::kName});
  first.View().Show();
  std::unique_ptr<WindowDriver> first_window = DriveWindow(first.View(), Form1Layout());
  first_window->SetText(Edit12, "40");
  first_window->Click(Button1);
  std::string saved = ReadFile(file);
  ASSERT_NE(saved.find("USERTIMEOUT=2400000"), std::string::npos);
  for (bool answer : {false, true}) {
    record_.answers = {answer};
    Click(Button1);
  }
  std::string question = kTitle + "|O arquivo " + DisplayPath(file) +
                         " foi alterado por outro programa depois que esta janela o leu. Gravar por cima dessas "
                         "altera\xE7\xF5" "es?";
  EXPECT_EQ(Messages(), (std::vector<std::string>{kTitle + "|" + kClosing, question, question,
                                                  kTitle + "|" + kClosing}));
  EXPECT_NE(ReadFile(file).find("USERTIMEOUT=1800000"), std::string::npos);
}

// Another program saving the folder makes OK wait, with the busy cursor and
// a caption that says so, then give up with a message; nothing is written.
TEST_F(Form1Test, OkWaitsForAnotherProgramsSaveThenGivesUpWritingNothing) {
  WriteFile(sandbox_.Path("tarnclient.ini"), "[CLIENT]\r\nTIMEOUT=120000\r\n");
  Open();
  Type(Edit8, "3");
  std::string file = sandbox_.Path("tarnclient.ini");
  {
    FileWriteLock other_program(file);
    SetLockWait({100, 1000, {}});
    Click(Button1);
    SetLockWait({});
  }
  std::string shown = DisplayPath(file);
  ASSERT_EQ(Messages(), std::vector<std::string>{kTitle + "|Unable to write to " + shown + ": another program kept " +
                                                 shown + " locked for 1 second.|error"});
  EXPECT_GE(record_.busy_updates, 1);
  EXPECT_EQ(Window().Caption(), kCaptionStart + sandbox_.Dir());
  EXPECT_EQ(ReadFile(file), "[CLIENT]\r\nTIMEOUT=120000\r\n");
  EXPECT_TRUE(WindowOpen());
}

// Both pages are put together before either file is written, and each file
// is replaced whole: a refusal midway leaves both as they were.
TEST_F(Form1Test, AnEntryRefusedDuringTheSaveWritesNeitherFile) {
  OfferServerPage();
  const std::string server = "[QUORVAN]\r\nRangeIndex=2\r\n[SERVER]\r\nForceCounterAddress=10.0.0.9\r\n";
  WriteFile(sandbox_.Path("tarnserver.ini"), server);
  Open();
  Type(Edit5, "abc");
  Click(Button1);
  EXPECT_EQ(Messages(), std::vector<std::string>{kTitle + "|'abc' is not a valid integer value.|error"});
  EXPECT_TRUE(WindowOpen());
  EXPECT_FALSE(std::filesystem::exists(FsPath(sandbox_.Path("tarnclient.ini"))));
  EXPECT_EQ(ReadFile(sandbox_.Path("tarnserver.ini")), server);
}

TEST_F(Form1Test, TheFirstOkKeepsTheServerValuesOfTheRegistry) {
  OfferServerPage();
  WriteRegistry("SERVER", "Port", "7000");
  WriteRegistry("SERVER", "MaxDB", "50");
  WriteRegistry("SERVER", "log_level", "3");
  Open();
  Type(Edit9, "4");
  Click(Button1);
  TtarnServerCfg::LoadFrom(Dir());
  EXPECT_EQ(TtarnServerCfg::Port(), 7000);
  EXPECT_EQ(TtarnServerCfg::MaxDB(), 50);
  EXPECT_EQ(TtarnServerCfg::LogLevel(), 4) << "the window's keys follow";
}

TEST_F(Form1Test, OkWithoutTheServerPageWritesOnlyTheClientFile) {
  Open();
  Click(Button1);
  EXPECT_TRUE(std::filesystem::exists(FsPath(sandbox_.Path("tarnclient.ini"))));
  EXPECT_FALSE(std::filesystem::exists(FsPath(sandbox_.Path("tarnserver.ini"))));

  WriteIni("tarnserver.ini", "[SERVER]\r\nlog_level=3\r\n");
  Open();
  Click(Button1);
  EXPECT_EQ(ReadFile(sandbox_.Path("tarnserver.ini")), "[SERVER]\r\nlog_level=3\r\n");
}

TEST_F(Form1Test, TheCompatibilityBoxIsSavedAsDalcompat) {
  OfferServerPage();
  WriteIni("tarnserver.ini", "[SERVER]\r\nForceCompatibility=1\r\n");
  Open();
  Click(Button1);
  EXPECT_NE(ReadFile(sandbox_.Path("tarnserver.ini")).find("\r\nDALCOMPAT=1\r\n"), std::string::npos);
}

TEST_F(Form1Test, ALogLevelThatIsNotIntegerTextSavesZero) {
  OfferServerPage();
  for (const char* entry : {"abc", "", "3 "}) {
    WriteIni("tarnserver.ini", "[SERVER]\r\nlog_level=5\r\n");
    Open();
    Type(Edit9, entry);
    Click(Button1);
    EXPECT_NE(ReadFile(sandbox_.Path("tarnserver.ini")).find("\r\nlog_level=0\r\n"), std::string::npos) << entry;
  }
}

TEST_F(Form1Test, ClearingTheAddressCacheRemovesTheWholeKey) {
  {
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("SOFTWARE\\KESSLAN\\ORVIK\\LOCATIONSERVICES\\tarn\\nested", true));
    registry.WriteString("Address", "10.0.0.1");
    ASSERT_TRUE(registry.OpenKey("SOFTWARE\\KESSLAN\\ORVIK\\LOCATIONSERVICES\\other", true));
    ASSERT_TRUE(registry.OpenKey("SOFTWARE\\KESSLAN\\ORVIK\\CLIENT", true));
    registry.WriteString("DEBUG", "0");
  }
  Open();
  Click(Button3);
  TRegistry registry;
  EXPECT_FALSE(registry.KeyExists("SOFTWARE\\KESSLAN\\ORVIK\\LOCATIONSERVICES"));
  EXPECT_TRUE(registry.KeyExists("SOFTWARE\\KESSLAN\\ORVIK\\CLIENT"));
  EXPECT_TRUE(WindowOpen());

  Click(Button3);  // the key is gone now
  EXPECT_EQ(Messages(), (std::vector<std::string>{kTitle + "|Cache limpo", kTitle + "|Cache limpo"}));
  EXPECT_TRUE(WindowOpen());
}

TEST_F(Form1Test, ServiceCheckBoxPutsTheLoadedServerValuesBack) {
  OfferServerPage();
  WriteFile(sandbox_.Path("tarnserver.ini"), "[SERVER]\r\nlog_level=3\r\n");
  QuelmontDouble service;
  Open();
  Type(Edit9, "8");
  Click(CheckBox8);
  EXPECT_EQ(Text(Edit9), "3");
  EXPECT_TRUE(Checked(CheckBox8)) << "the box keeps the state the click gave it";
}

}  // namespace
}  // namespace tarn::testing
