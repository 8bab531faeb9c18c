// Every setting the environment keeps, described once: its section and key,
// how wide its value is, its default, and which sources hold it. The loads
// (server, counter-range, client), their listings and the settings window's
// pages all walk this one table; a key is spelled nowhere else.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace tarn {

// The registry settings key below HKEY_CURRENT_USER; each section is a
// subkey of it.
inline constexpr std::string_view kSettingsKey = "SOFTWARE\\KESSLAN\\ORVIK";

// A section of a settings file and the file beside the executable that
// holds it.
struct SettingSection {
  std::string_view name;
  std::string_view file;
};
inline constexpr SettingSection kServerSection{"SERVER", "tarnserver.ini"};
inline constexpr SettingSection kCounterSection{"QUORVAN", "tarnserver.ini"};
inline constexpr SettingSection kClientSection{"CLIENT", "tarnclient.ini"};

// Each setting, grouped by section, each group in the order its load reads
// the keys.
enum class SettingId : uint8_t {
  kTaskGovernorInterval,
  kDebugMem,
  kLogLevel,
  kMaxTasks,
  kMaxWorkers,
  kCacheEnabled,
  kProcessRecycleLimit,
  kProcessRecycleTimeLimit,
  kProcessRecycleMemLimit,
  kPriority,
  kMaxBandwidth,
  kLogSizeLimit,
  kMultiProcessMode,
  kForceCounterAddress,
  kPort,
  kSSLPort,
  kMaxDB,
  kForceCompatibility,
  kUseBufferManager,
  kHTTP,
  kSharedSessions,
  kMinimumSchedulerWorkers,
  kIpVersion,
  kWorkersPerCore,
  kAsService,
  kForceLogWrites,
  kAllowRemoteShutdown,

  kCounterPath,
  kRangeStart,
  kRangeEnd,
  kRangeIndex,
  kRangeMax,

  kDebug,
  kForceAddress,
  kRequestCompression,
  kTimeout,
  kUserTimeout,

  kCount
};

// How a value is held: integers read as 32 bits keep only the low bits of
// their width (max_tasks=70000 is held as 4464), a flag is 1 or 0.
enum class SettingType { kInt32, kUInt16, kInt16, kUInt8, kFlag, kText };

// Which sources a load reads the setting from.
enum class SettingReaders {
  kFileAndRegistry,  // a registry value of another type than text stops the load
  kFileOnly,         // the registry never holds it
  kRegistryIfText,   // a registry value of another type reads as missing
  kNone,             // written by the settings window, read by no load
};

struct Setting {
  SettingId id;
  const SettingSection* section;
  std::string_view key;
  SettingType type;
  int32_t fallback;  // the default of a number or a flag; text defaults to empty
  SettingReaders readers;
  // The key the settings window writes the setting under, where it is not
  // `key`: another spelling of it, or another key that no load reads.
  std::string_view written_as = {};

  std::string_view WrittenKey() const { return written_as.empty() ? key : written_as; }
};

// The whole table, in SettingId order.
std::span<const Setting> AllSettings();
const Setting& DescribeSetting(SettingId id);

// The settings of each load, in the order it reads them.
std::span<const Setting> ServerSettings();
std::span<const Setting> CounterRangeKeys();
std::span<const Setting> ClientSettings();

}  // namespace tarn
