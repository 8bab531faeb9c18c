// quelmont.dll over the Service Control Manager of the test run's Wine
// prefix, against a real service of the test's own (test_service_win32.cpp)
// registered as the server's service.
#include <gtest/gtest.h>

#include "platform/os_error.h"
#include "service/installed_service.h"
#include "service/quelmont_last_error.h"
#include "service/service_library.h"

namespace tarn {
namespace {

using testing::InstalledService;
using testing::LastSvcError;
using StartType = InstalledService::StartType;

// The system's error codes whose texts quelmont reports.
constexpr int kFileNotFound = 2;
constexpr int kServiceRequestTimeout = 1053;
constexpr int kServiceDisabled = 1058;
constexpr int kServiceDoesNotExist = 1060;

TEST(QuelmontWin32, StartsQueriesAndStopsAService) {
  InstalledService service(kServiceName, "run");
  EXPECT_EQ(ServiceIsRunning(kServiceName), 0);
  EXPECT_EQ(StartService(kServiceName), 1);
  EXPECT_EQ(LastSvcError(), "<none>");
  EXPECT_TRUE(service.Running());
  EXPECT_EQ(ServiceIsRunning(kServiceName), 1);

  EXPECT_EQ(StopService(kServiceName), 1);
  EXPECT_TRUE(service.Stopped());
  EXPECT_EQ(ServiceIsRunning(kServiceName), 0);
}

TEST(QuelmontWin32, AskingForTheStateAServiceIsInSucceeds) {
  InstalledService service(kServiceName, "run");
  EXPECT_EQ(StopService(kServiceName), 1);
  EXPECT_EQ(StartService(kServiceName), 1);
  EXPECT_EQ(StartService(kServiceName), 1);
  EXPECT_EQ(LastSvcError(), "<none>");
  EXPECT_TRUE(service.Running());
}

TEST(QuelmontWin32, TheWindowBindsTheLibraryByItsBareName) {
  InstalledService service(kServiceName, "run");
  ServiceLibrary library = ServiceLibrary::Bind(kServiceLibraryName);
  ASSERT_TRUE(library.Bound());
  library.Start(kServiceName);
  EXPECT_TRUE(library.ServiceIsRunning(kServiceName));
}

TEST(QuelmontWin32, AMissingServiceIsNotRunningAndCannotBeControlled) {
  EXPECT_EQ(ServiceIsRunning(kServiceName), 0);
  EXPECT_EQ(StartService(kServiceName), 0);
  EXPECT_EQ(LastSvcError(), OSErrorText(kServiceDoesNotExist));
  EXPECT_EQ(StopService(kServiceName), 0);
  EXPECT_EQ(LastSvcError(), OSErrorText(kServiceDoesNotExist));
}

TEST(QuelmontWin32, ARefusedStartReportsTheSystemsText) {
  struct Case {
    const char* mode;
    StartType start_type;
    int code;
  };
  for (const Case& refused : {Case{"run", StartType::kDisabled, kServiceDisabled},
                              Case{"fail", StartType::kOnDemand, kFileNotFound},
                              Case{"stall", StartType::kOnDemand, kServiceRequestTimeout}}) {
    SCOPED_TRACE(refused.mode);
    InstalledService service(kServiceName, refused.mode, refused.start_type);
    EXPECT_EQ(StartService(kServiceName), 0);
    EXPECT_EQ(LastSvcError(), OSErrorText(refused.code));
    EXPECT_FALSE(service.Running());
  }
}

}  // namespace
}  // namespace tarn
