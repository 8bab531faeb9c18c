#include "service/service_library.h"

#include <gtest/gtest.h>

#include "service/quelmont_double.h"

namespace tarn {
namespace {

using testing::QuelmontDouble;

TEST(ServiceLibraryTest, BindsTheFourEntriesAndPassesTheServiceName) {
  QuelmontDouble double_library;
  ServiceLibrary library = ServiceLibrary::Bind(QuelmontDouble::kName);
  ASSERT_TRUE(library.Bound());

  double_library.SetRunning(true);
  EXPECT_TRUE(library.ServiceIsRunning(kServiceName));
  library.Stop(kServiceName);
  EXPECT_FALSE(library.ServiceIsRunning(kServiceName));
  library.Start(kServiceName);
  EXPECT_EQ(double_library.Calls(),
            "ServiceIsRunning(tarnServiceMain);StopService(tarnServiceMain);ServiceIsRunning(tarnServiceMain);"
            "StartService(tarnServiceMain);");
}

TEST(ServiceLibraryTest, ReportsTheLastErrorThroughTheCallersBuffer) {
  QuelmontDouble double_library;
  ServiceLibrary library = ServiceLibrary::Bind(QuelmontDouble::kName);
  ASSERT_TRUE(library.Bound());

  ServiceErrorBuffer buffer{};
  library.Start(kServiceName);
  EXPECT_FALSE(library.GetLastSvcError(buffer));

  double_library.FailNext("Unit tarnServiceMain.service not found.");
  library.Start(kServiceName);
  ASSERT_TRUE(library.GetLastSvcError(buffer));
  EXPECT_STREQ(buffer.data(), "Unit tarnServiceMain.service not found.");
}

TEST(ServiceLibraryTest, MissingOrIncompleteLibraryBindsNothing) {
  EXPECT_FALSE(ServiceLibrary::Bind("quelmont-not-installed").Bound());
  // It offers ServiceIsRunning but not StopService.
  EXPECT_FALSE(ServiceLibrary::Bind(QuelmontDouble::kWithoutStop).Bound());
  EXPECT_FALSE(ServiceLibrary().Bound());
}

}  // namespace
}  // namespace tarn
