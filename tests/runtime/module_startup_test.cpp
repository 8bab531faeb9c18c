#include "runtime/module_startup.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace tarn {
namespace {

std::vector<std::string> calls;

void StartA() { calls.push_back("start A"); }
void StopA() { calls.push_back("stop A"); }
void StartB() { calls.push_back("start B"); }
void StopB() { calls.push_back("stop B"); }
void StartFailing() { throw ERegistryException("Invalid data type for 'TIMEOUT'"); }
void StartC() { calls.push_back("start C"); }

TEST(ModuleSequence, StartsInOrderAndShutsDownInReverseOnce) {
  calls.clear();
  {
    ModuleSequence modules({{"a", StartA, StopA}, {"none", nullptr, nullptr}, {"b", StartB, StopB}});
    modules.Start();
    modules.Shutdown();
    modules.Shutdown();
  }
  EXPECT_EQ(calls, (std::vector<std::string>{"start A", "start B", "stop B", "stop A"}));
}

TEST(ModuleSequence, AFailedStartUpShutsDownWhatHadStarted) {
  calls.clear();
  ModuleSequence modules({{"a", StartA, StopA}, {"bad", StartFailing, StopB}, {"c", StartC, nullptr}});
  try {
    modules.Start();
    FAIL() << "no error raised";
  } catch (const Exception& failure) {
    // Reported like any other error of the system, with the module's message.
    EXPECT_STREQ(failure.ClassName(), "EModuleStartup");
    EXPECT_EQ(failure.Message(), "Invalid data type for 'TIMEOUT'");
    const auto& startup = dynamic_cast<const EModuleStartup&>(failure);
    EXPECT_EQ(startup.Address(), reinterpret_cast<const void*>(&StartFailing));
    EXPECT_THROW(std::rethrow_exception(startup.Error()), ERegistryException);
  }
  EXPECT_EQ(calls, (std::vector<std::string>{"start A", "stop A"}));
}

TEST(StartupErrorText, ClassModuleAddressMessageAndFullStop) {
  auto text = [](std::exception_ptr error) {
    return StartupErrorText(error, "tarnconfig", reinterpret_cast<const void*>(0x4A2B10));
  };
  EXPECT_EQ(text(std::make_exception_ptr(ERegistryException("Invalid data type for 'TIMEOUT'"))),
            "Exception ERegistryException in module tarnconfig at 00000000004A2B10.\r\n"
            "Invalid data type for 'TIMEOUT'.\r\n");
  EXPECT_EQ(text(std::make_exception_ptr(Exception("Ends with a stop."))),
            "Exception Exception in module tarnconfig at 00000000004A2B10.\r\nEnds with a stop.\r\n");
  EXPECT_EQ(text(std::make_exception_ptr(EConvertError(""))),
            "Exception EConvertError in module tarnconfig at 00000000004A2B10.\r\n\r\n");
  EXPECT_EQ(text(std::make_exception_ptr(std::bad_alloc())),
            "Exception EOutOfMemory in module tarnconfig at 00000000004A2B10.\r\nOut of memory.\r\n");
  // Errors from outside the system: a standard one keeps its text, anything
  // else shows none, both under the base class's name.
  EXPECT_EQ(text(std::make_exception_ptr(std::runtime_error("disk gone"))),
            "Exception Exception in module tarnconfig at 00000000004A2B10.\r\ndisk gone.\r\n");
  EXPECT_EQ(text(std::make_exception_ptr(42)),
            "Exception Exception in module tarnconfig at 00000000004A2B10.\r\n\r\n");
}

TEST(TerminateProcs, RunInOrderUntilOneRefuses) {
  ClearTerminateProcs();
  static int runs = 0;
  runs = 0;
  AddTerminateProc([] { return ++runs, true; });
  EXPECT_TRUE(CallTerminateProcs());
  AddTerminateProc([] { return false; });
  AddTerminateProc([] { return ++runs, true; });
  EXPECT_FALSE(CallTerminateProcs());
  EXPECT_EQ(runs, 2);
  ClearTerminateProcs();
}

}  // namespace
}  // namespace tarn
