// Optional outside libraries, loaded by bare name and bound by entry name.
// A library is never unloaded; a missing library or entry is not an error.
#pragma once

#include <string>

namespace tarn {

using LibraryHandle = void*;
using EntryPoint = void*;

// Loads a library by its bare file name ("quelmont", "tarnbrokerbridge.dll").
// On Windows it is looked for in the executable's folder and the system
// folder only, never in the working directory or along PATH. On POSIX a
// trailing ".dll" is dropped and lib<name>.so is looked for beside the
// executable first, then along the loader's usual search (which leaves out
// the working directory). Returns null when it cannot be loaded.
LibraryHandle LoadLibraryByName(const std::string& name);

// The address of the named entry, or null when the library lacks it.
EntryPoint GetEntryPoint(LibraryHandle library, const char* name);

#ifdef _WIN32
// Holds every later load by bare name in the process, the system's on the
// program's behalf included, to the executable's folder and the system
// folder. The program's entry calls it first.
void RestrictLibrarySearch();
#endif

}  // namespace tarn
