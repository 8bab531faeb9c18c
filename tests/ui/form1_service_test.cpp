// The service controls of the settings window against the quelmont test
// double.
#include "form1_fixture.h"

namespace tarn::testing {
namespace {

class Form1ServiceTest : public Form1Test {
 public:
  static inline QuelmontDouble* active = nullptr;

 protected:
  Form1ServiceTest() {
    OfferServerPage();
    active = &service_;
  }
  ~Form1ServiceTest() override { active = nullptr; }

  // Whether the busy cursor was up while the library worked.
  static inline bool busy_during_call = false;
  static void NoteCursor() { busy_during_call = BusyCursorShown(); }

  QuelmontDouble service_;
};

TEST_F(Form1ServiceTest, ControlsStayHiddenWithoutACompleteLibrary) {
  for (const char* library : {"quelmont-not-installed", QuelmontDouble::kWithoutStop}) {
    Open(library);
    EXPECT_FALSE(Shown(Bevel2)) << library;
    EXPECT_FALSE(Shown(Button4)) << library;
    EXPECT_FALSE(Shown(CheckBox8)) << library;
    Reset();
  }
}

TEST_F(Form1ServiceTest, StopsARunningServiceUnderTheBusyCursor) {
  service_.SetRunning(true);
  Open();
  EXPECT_TRUE(Shown(Bevel2));
  EXPECT_TRUE(Shown(CheckBox8));
  EXPECT_EQ(Text(Button4), "Parar");

  service_.DuringCall(&NoteCursor);
  busy_during_call = false;
  Click(Button4);
  EXPECT_TRUE(busy_during_call);
  EXPECT_FALSE(BusyCursorShown());
  EXPECT_EQ(Text(Button4), "Iniciar");
  EXPECT_EQ(service_.Calls(),
            "ServiceIsRunning(tarnServiceMain);"  // at start-up
            "ServiceIsRunning(tarnServiceMain);StopService(tarnServiceMain);GetLastSvcError(buffer);"
            "ServiceIsRunning(tarnServiceMain);");
  EXPECT_TRUE(Messages().empty());
}

TEST_F(Form1ServiceTest, AStaleCaptionIsRequeriedBeforeActing) {
  service_.SetRunning(true);
  Open();
  ASSERT_EQ(Text(Button4), "Parar");
  service_.SetRunning(false);  // stopped by another program
  Click(Button4);
  EXPECT_NE(service_.Calls().find("StartService(tarnServiceMain)"), std::string::npos);
  EXPECT_EQ(service_.Calls().find("StopService"), std::string::npos);
  EXPECT_EQ(Text(Button4), "Parar");
}

// The service starts after all, but the press reported an error: the caption
// keeps the state queried before the call.
void StartAnyway() { Form1ServiceTest::active->SetRunning(true); }

TEST_F(Form1ServiceTest, TheLibrarysErrorIsShownWithTheFullStopRule) {
  Open();
  struct Case {
    std::string error, shown;
  };
  for (const Case& c : {Case{"Falha ao iniciar o servi\xE7o", "Falha ao iniciar o servi\xE7o."},
                        Case{"Acesso negado!", "Acesso negado!"}, Case{"Tempo esgotado.", "Tempo esgotado."},
                        Case{std::string(256, 'x'), std::string(256, 'x') + "."}}) {
    service_.SetRunning(false);
    service_.FailNext(c.error);
    service_.DuringCall(&StartAnyway);
    record_.shown.clear();
    Click(Button4);
    ASSERT_EQ(record_.shown.size(), 1u);
    EXPECT_EQ(Messages()[0], kTitle + "|" + c.shown + "|error");
    EXPECT_FALSE(record_.shown[0].busy_cursor) << "the cursor is restored before the error shows";
    EXPECT_EQ(Text(Button4), "Iniciar");
    EXPECT_TRUE(WindowOpen());
  }
}

TEST_F(Form1ServiceTest, AnyRunningStateOtherThanZeroCountsAsRunning) {
  for (unsigned char answer : {2, 255}) {
    service_.SetRunning(answer);
    Open();
    EXPECT_EQ(Text(Button4), "Parar") << int{answer};
    Reset();
  }
}

}  // namespace
}  // namespace tarn::testing
