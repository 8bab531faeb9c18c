#include "runtime/trace_log.h"

#include "platform/file_system.h"
#include "platform/portable/exceptions.h"
#include "runtime/broker_bridge.h"
#include "runtime/module_startup.h"

namespace tarn {

namespace {

std::string trace_directory;
std::unique_ptr<std::recursive_mutex> trace_lock;
std::unique_ptr<THashList> trace_table;
int32_t small_size_limit = 0;
int32_t large_size_limit = 0;
std::unique_ptr<TObject> held_object;
bool bridge_context = false;
std::unique_ptr<PrivateHeap> trace_heap;

// A trace folder reached through a link that another user placed in a
// folder others may write is not used: the environment's traces would land
// wherever that user chose.
bool TrustedFolder(const std::string& path) {
  if (!DirectoryExists(path)) return false;
  try {
    ResolveFileLinks(path);
    return true;
  } catch (const Exception&) {
    return false;
  }
}

}  // namespace

void TraceLogStartup() { TraceLogStartup(ExeDir()); }

void TraceLogStartup(const std::string& exe_dir) {
  trace_lock = std::make_unique<std::recursive_mutex>();
  trace_directory = exe_dir;
  // A directory that exists already, or one that cannot be made, is not an
  // error: the test below decides where traces go.
  CreateDir(exe_dir + "trace");
  if (TrustedFolder(exe_dir + "trace")) trace_directory += std::string("trace") + kPathDelim;
  trace_table = std::make_unique<THashList>(kTraceTableCapacity);
  trace_table->SetOwnership(THashOwnership::Objects);
  small_size_limit = kTraceSmallSizeLimit;
  large_size_limit = kTraceLargeSizeLimit;
  AddTerminateProc(&TraceLogTerminate);
  held_object.reset();
  bridge_context = BrokerBridge().get_context != nullptr;
  trace_heap = PrivateHeap::Create(kTraceHeapInitialSize);
}

bool TraceLogTerminate() {
  held_object.reset();
  return true;
}

void TraceLogShutdown() {
  TraceLogTerminate();
  trace_lock.reset();
  trace_table.reset();
  trace_heap.reset();
  trace_directory.clear();
}

const std::string& TraceDirectory() { return trace_directory; }
std::recursive_mutex* TraceLock() { return trace_lock.get(); }
THashList* TraceTable() { return trace_table.get(); }
int32_t TraceSmallSizeLimit() { return small_size_limit; }
int32_t TraceLargeSizeLimit() { return large_size_limit; }
PrivateHeap* TraceHeap() { return trace_heap.get(); }
bool TraceBridgeContext() { return bridge_context; }
TObject* TraceHeldObject() { return held_object.get(); }
void SetTraceHeldObject(std::unique_ptr<TObject> object) { held_object = std::move(object); }

}  // namespace tarn
