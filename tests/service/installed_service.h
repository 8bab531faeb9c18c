// A service of the test's own in the Service Control Manager of the test
// run's Wine prefix: the test service program, registered under a name with
// the mode that chooses how it behaves, stopped and deleted when the object
// goes.
#pragma once

#include <string>

namespace tarn::testing {

class InstalledService {
 public:
  enum class StartType { kOnDemand, kDisabled };

  // Registers quelmont-test-service.exe from the test program's folder;
  // raises std::runtime_error when the service cannot be registered.
  InstalledService(const std::string& name, const std::string& mode, StartType start_type = StartType::kOnDemand);
  ~InstalledService();
  InstalledService(const InstalledService&) = delete;
  InstalledService& operator=(const InstalledService&) = delete;

  // What the Service Control Manager reports, asked directly.
  bool Running() const;
  bool Stopped() const;

 private:
  unsigned long State() const;

  std::string name_;
};

}  // namespace tarn::testing
