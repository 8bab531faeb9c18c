// The bridge's SetContext and SetInServerEnv entries.
#include <atomic>
#include <cstdint>

#include "bridge_context.h"
#include "library_export.h"

namespace {

// Whether the host process runs inside the server environment.
std::atomic<int32_t> in_server_env{0};

}  // namespace

// Stores the calling thread's context.
TARN_LIBRARY_EXPORT void SetContext(void* context) {
  tarn::bridge::ThreadContext() = context;
}

// Records whether the host process runs inside the server environment.
TARN_LIBRARY_EXPORT void SetInServerEnv(int32_t in_server) { in_server_env = in_server; }
