// The Registry Editor export format ("Windows Registry Editor Version 5.00")
// as an in-memory hive: parsing it and writing it back. Names and string
// data are 8-bit Windows-1252 text in memory and UTF-8 in the file; a file
// written as UTF-16 with a byte-order mark (as the Registry Editor exports
// it) is read as well.
#pragma once

#include <string>
#include <string_view>

#include "platform/posix/registry_hive.h"
#include "platform/portable/registry_path.h"

namespace tarn {

// Raises ERegistryException naming `file_name` and the line on a text that is
// not in the format.
RegHive ParseRegistryText(std::string_view text, const std::string& file_name);
// Every key whose line cannot be left out, parents before their subkeys,
// subkeys in name order.
std::string FormatRegistryText(const RegHive& hive);

}  // namespace tarn
