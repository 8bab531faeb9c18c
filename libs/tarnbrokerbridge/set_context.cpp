// The bridge's SetContext and SetInServerEnv entries.
#include <atomic>
#include <cstdint>

#include "bridge_context.h"

namespace {

// Whether the host process runs inside the server environment.
std::atomic<int32_t> in_server_env{0};

}  // namespace

// Stores the calling thread's context.
extern "C" __attribute__((visibility("default"))) void SetContext(void* context) {
  tarn::bridge::ThreadContext() = context;
}

// Records whether the host process runs inside the server environment.
extern "C" __attribute__((visibility("default"))) void SetInServerEnv(int32_t in_server) { in_server_env = in_server; }
