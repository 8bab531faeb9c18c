#include "settings/setting_table.h"

#include <array>

namespace tarn {

namespace {

using enum SettingId;
using T = SettingType;
using R = SettingReaders;
constexpr const SettingSection* kServer = &kServerSection;
constexpr const SettingSection* kCounter = &kCounterSection;
constexpr const SettingSection* kClient = &kClientSection;

constexpr std::array<Setting, static_cast<size_t>(kCount)> kSettings{{
    // id, section, key, type, default, readers, written as
    {kTaskGovernorInterval, kServer, "task_governor_interval", T::kInt32, 30000, R::kFileAndRegistry},
    {kDebugMem, kServer, "debug_mem", T::kFlag, 0, R::kFileAndRegistry},
    {kLogLevel, kServer, "log_level", T::kInt32, 0, R::kFileAndRegistry},
    {kMaxTasks, kServer, "max_tasks", T::kUInt16, 100, R::kFileAndRegistry},
    {kMaxWorkers, kServer, "max_workers", T::kUInt16, 0, R::kFileAndRegistry},
    {kCacheEnabled, kServer, "cache_enabled", T::kFlag, 0, R::kFileAndRegistry},
    {kProcessRecycleLimit, kServer, "process_recycle_limit", T::kInt32, 10000, R::kFileAndRegistry},
    {kProcessRecycleTimeLimit, kServer, "process_recycle_time_limit", T::kInt32, 3 * 3600 * 1000, R::kFileOnly},
    {kProcessRecycleMemLimit, kServer, "process_recycle_mem_limit", T::kInt32, 300 << 20, R::kFileOnly},
    {kPriority, kServer, "Priority", T::kInt32, 0, R::kFileAndRegistry},
    {kMaxBandwidth, kServer, "max_bandwidth", T::kInt32, 0, R::kFileAndRegistry, "MAX_BANDWIDTH"},
    {kLogSizeLimit, kServer, "log_size_limit", T::kInt32, 50 << 20, R::kFileAndRegistry},
    {kMultiProcessMode, kServer, "multi_process_mode", T::kUInt8, 2, R::kFileAndRegistry},
    {kForceCounterAddress, kServer, "ForceCounterAddress", T::kText, 0, R::kFileAndRegistry},
    {kPort, kServer, "Port", T::kInt32, 6015, R::kFileAndRegistry},
    {kSSLPort, kServer, "SSLPort", T::kInt32, 443, R::kFileOnly},
    {kMaxDB, kServer, "MaxDB", T::kInt32, 200, R::kFileAndRegistry},
    // The settings window shows it and writes its state under another key.
    {kForceCompatibility, kServer, "ForceCompatibility", T::kFlag, 0, R::kFileAndRegistry, "DALCOMPAT"},
    {kUseBufferManager, kServer, "UseBufferManager", T::kFlag, 1, R::kFileAndRegistry},
    {kHTTP, kServer, "HTTP", T::kFlag, 1, R::kFileAndRegistry},
    {kSharedSessions, kServer, "SharedSessions", T::kFlag, 0, R::kFileAndRegistry},
    {kMinimumSchedulerWorkers, kServer, "MinimumSchedulerWorkers", T::kUInt16, 2, R::kFileAndRegistry},
    {kIpVersion, kServer, "ip_version", T::kInt16, 4, R::kFileAndRegistry},
    {kWorkersPerCore, kServer, "WorkersPerCore", T::kInt16, 2, R::kFileAndRegistry},
    // Written by the settings window ("Serviço do Windows"), which shows it
    // again when it opens. No server reads it, so a value of another type
    // must not stop the program.
    {kAsService, kServer, "ASSERVICE", T::kFlag, 0, R::kRegistryIfText},
    {kForceLogWrites, kServer, "ForceLogWrites", T::kFlag, 0, R::kNone},
    {kAllowRemoteShutdown, kServer, "AllowRemoteShutdown", T::kFlag, 0, R::kNone},

    // The four range keys read -1 when missing or not integer text; the
    // bounds come from their texts.
    {kCounterPath, kCounter, "CounterPath", T::kText, 0, R::kFileAndRegistry},
    {kRangeStart, kCounter, "RangeStart", T::kInt32, -1, R::kFileAndRegistry},
    {kRangeEnd, kCounter, "RangeEnd", T::kInt32, -1, R::kFileAndRegistry},
    {kRangeIndex, kCounter, "RangeIndex", T::kInt32, -1, R::kFileAndRegistry},
    {kRangeMax, kCounter, "RangeMax", T::kInt32, -1, R::kFileAndRegistry},

    {kDebug, kClient, "DEBUG", T::kFlag, 0, R::kFileAndRegistry},
    {kForceAddress, kClient, "FORCEADDRESS", T::kText, 0, R::kFileAndRegistry},
    {kRequestCompression, kClient, "REQUESTCOMPRESSION", T::kFlag, 0, R::kFileAndRegistry},
    {kTimeout, kClient, "TIMEOUT", T::kInt32, 600000, R::kFileAndRegistry},           // 10 minutes
    {kUserTimeout, kClient, "USERTIMEOUT", T::kInt32, 1800000, R::kFileAndRegistry},  // 30 minutes
}};

constexpr bool InIdOrder() {
  for (size_t i = 0; i < kSettings.size(); ++i) {
    if (static_cast<size_t>(kSettings[i].id) != i) return false;
  }
  return true;
}
static_assert(InIdOrder(), "the table is indexed by SettingId");

constexpr std::span<const Setting> Range(SettingId first, SettingId end) {
  return std::span<const Setting>(kSettings).subspan(static_cast<size_t>(first),
                                                     static_cast<size_t>(end) - static_cast<size_t>(first));
}

}  // namespace

std::span<const Setting> AllSettings() { return kSettings; }

const Setting& DescribeSetting(SettingId id) { return kSettings[static_cast<size_t>(id)]; }

std::span<const Setting> ServerSettings() { return Range(kTaskGovernorInterval, kCounterPath); }
std::span<const Setting> CounterRangeKeys() { return Range(kCounterPath, kDebug); }
std::span<const Setting> ClientSettings() { return Range(kDebug, kCount); }

}  // namespace tarn
