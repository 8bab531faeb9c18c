// The bridge's GetContext entry and the per-thread context behind it.
#include "bridge_context.h"
#include "library_export.h"

namespace tarn::bridge {

void*& ThreadContext() {
  thread_local void* context = nullptr;
  return context;
}

}  // namespace tarn::bridge

// The context that SetContext last stored on the calling thread, or null.
TARN_LIBRARY_EXPORT void* GetContext() { return tarn::bridge::ThreadContext(); }
