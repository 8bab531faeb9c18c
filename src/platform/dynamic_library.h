// Optional outside libraries, loaded by bare name and bound by entry name.
// A library is never unloaded; a missing library or entry is not an error.
#pragma once

#include <string>

namespace tarn {

using LibraryHandle = void*;
using EntryPoint = void*;

// Loads a library by its bare file name ("quelmont", "tarnbrokerbridge.dll").
// On POSIX a trailing ".dll" is dropped and lib<name>.so is looked for beside
// the executable first, then along the platform's usual search. Returns null
// when it cannot be loaded.
LibraryHandle LoadLibraryByName(const std::string& name);

// The address of the named entry, or null when the library lacks it.
EntryPoint GetEntryPoint(LibraryHandle library, const char* name);

}  // namespace tarn
