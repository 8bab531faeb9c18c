// A library that records its loading: when a process loads it, it leaves an
// empty file named after itself with ".loaded" added, beside itself. The
// library-search tests plant copies of it under the names the program loads.
#include <dlfcn.h>

#include <fstream>
#include <string>

namespace {

__attribute__((constructor)) void MarkLoading() {
  Dl_info self{};
  if (::dladdr(reinterpret_cast<void*>(&MarkLoading), &self) == 0 || self.dli_fname == nullptr) return;
  std::ofstream(std::string(self.dli_fname) + ".loaded");
}

}  // namespace
