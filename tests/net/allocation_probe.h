// Measures the largest single allocation made through operator new on the
// calling thread while a probe is alive, so that tests can show that an
// announced size was not taken on trust.
#pragma once

#include <cstddef>

namespace tarn::testing {

class AllocationProbe {
 public:
  AllocationProbe();
  ~AllocationProbe();
  AllocationProbe(const AllocationProbe&) = delete;
  AllocationProbe& operator=(const AllocationProbe&) = delete;

  std::size_t Largest() const;
};

}  // namespace tarn::testing
