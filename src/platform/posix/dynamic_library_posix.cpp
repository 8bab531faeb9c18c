#include "platform/dynamic_library.h"

#include <dlfcn.h>

#include "platform/file_system.h"

namespace tarn {

LibraryHandle LoadLibraryByName(const std::string& name) {
  std::string base = name;
  constexpr std::string_view kDll = ".dll";
  if (base.size() >= kDll.size()) {
    std::string tail = base.substr(base.size() - kDll.size());
    for (char& c : tail) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    if (tail == kDll) base.resize(base.size() - kDll.size());
  }
  std::string file = "lib" + base + ".so";
  if (void* beside = ::dlopen((ExeDir() + file).c_str(), RTLD_NOW | RTLD_LOCAL)) return beside;
  return ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
}

EntryPoint GetEntryPoint(LibraryHandle library, const char* name) {
  return library ? ::dlsym(library, name) : nullptr;
}

}  // namespace tarn
