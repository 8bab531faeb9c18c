// Measures the largest single allocation made through operator new on the
// calling thread while a probe is alive, so that tests can show that an
// announced size was not taken on trust; and makes an allocation fail, so
// that tests can reach every way out of a constructor.
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

// Makes operator new on the calling thread fail once `count` allocations
// have been made while it is alive: the next one throws std::bad_alloc.
class FailingAllocation {
 public:
  explicit FailingAllocation(std::size_t count);
  ~FailingAllocation();
  FailingAllocation(const FailingAllocation&) = delete;
  FailingAllocation& operator=(const FailingAllocation&) = delete;

  // Whether an allocation has failed.
  bool Failed() const;
};

}  // namespace tarn::testing
