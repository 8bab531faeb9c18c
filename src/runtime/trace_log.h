// The process-wide state on which the environment's trace writing rests,
// prepared once at start-up and released at shutdown: the trace directory, a
// lock for the trace writers, a table of objects keyed by text, two size
// limits, a private heap, a slot for one further object, and whether the
// broker bridge offers its GetContext entry.
//
// Start-up follows the broker bridge binding, whose GetContext slot it
// reads. Start-up, the termination hook and shutdown run on the main thread
// while no other thread uses the state; writers take TraceLock() around any
// use of it.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "platform/heap.h"
#include "runtime/hash_list.h"
#include "platform/portable/object.h"

namespace tarn {

inline constexpr int32_t kTraceSmallSizeLimit = 10485760;  // 10 MiB
inline constexpr int32_t kTraceLargeSizeLimit = 52428800;  // 50 MiB
inline constexpr size_t kTraceHeapInitialSize = 10485760;
inline constexpr int32_t kTraceTableCapacity = 255;

// Prepares the state beside the running executable.
void TraceLogStartup();
// Prepares the state for an executable whose directory is `exe_dir` (with its
// trailing separator): the "trace" subdirectory is created there when it can
// be, and becomes the trace directory when it then exists as a directory;
// otherwise the trace directory is `exe_dir` itself. Registers the
// termination hook.
void TraceLogStartup(const std::string& exe_dir);
// The termination hook: frees the held object. Safe to run any number of
// times; always lets termination go on.
bool TraceLogTerminate();
// Runs the termination hook, then frees the lock, the table with its objects
// and the heap, and clears the trace directory.
void TraceLogShutdown();

// The directory that trace files go to, with its trailing separator.
const std::string& TraceDirectory();
std::recursive_mutex* TraceLock();
// Owns its items as objects (THashOwnership::Objects).
THashList* TraceTable();
int32_t TraceSmallSizeLimit();
int32_t TraceLargeSizeLimit();
// Null when the platform could not provide the heap.
PrivateHeap* TraceHeap();
// Whether the broker bridge's GetContext entry was bound at start-up.
bool TraceBridgeContext();

// The held object, which the module frees at termination.
TObject* TraceHeldObject();
void SetTraceHeldObject(std::unique_ptr<TObject> object);

}  // namespace tarn
