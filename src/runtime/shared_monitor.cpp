#include "runtime/shared_monitor.h"

namespace tarn {

namespace {

InterfacePtr<ISharedMon> current_monitor;

}  // namespace

void SetSharedMon(const InterfacePtr<ISharedMon>& monitor) { current_monitor = monitor; }

const InterfacePtr<ISharedMon>& SharedMon() { return current_monitor; }

void SharedMonStartup() { SetSharedMon(MakeInterfaced<TVoidSharedMon>()); }

void SharedMonShutdown() { SetSharedMon(nullptr); }

}  // namespace tarn
