#include "net/allocation_probe.h"

#include <cstdlib>
#include <new>

namespace {

thread_local bool t_probing = false;
thread_local std::size_t t_largest = 0;
thread_local bool t_failing = false;
thread_local std::size_t t_left = 0;  // allocations before one fails
thread_local bool t_failed = false;

}  // namespace

// The test program's own global allocator: the standard library's array and
// non-throwing forms all come here.
void* operator new(std::size_t size) {
  if (t_probing && size > t_largest) t_largest = size;
  if (t_failing && !t_failed) {
    if (t_left == 0) {
      t_failed = true;
      throw std::bad_alloc();
    }
    --t_left;
  }
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}

void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }

namespace tarn::testing {

AllocationProbe::AllocationProbe() {
  t_largest = 0;
  t_probing = true;
}

AllocationProbe::~AllocationProbe() { t_probing = false; }

std::size_t AllocationProbe::Largest() const { return t_largest; }

FailingAllocation::FailingAllocation(std::size_t count) {
  t_left = count;
  t_failed = false;
  t_failing = true;
}

FailingAllocation::~FailingAllocation() { t_failing = false; }

bool FailingAllocation::Failed() const { return t_failed; }

}  // namespace tarn::testing
