#include "service/service_library.h"

#include "platform/dynamic_library.h"

namespace tarn {

namespace {

template <typename Entry>
Entry BindEntry(LibraryHandle library, const char* name) {
  return reinterpret_cast<Entry>(GetEntryPoint(library, name));
}

}  // namespace

ServiceLibrary ServiceLibrary::Bind(const std::string& library_name) {
  LibraryHandle library = LoadLibraryByName(library_name);
  if (library == nullptr) return {};
  ServiceLibrary bound;
  bound.start_ = BindEntry<QueryEntry>(library, "StartService");
  bound.stop_ = BindEntry<QueryEntry>(library, "StopService");
  bound.is_running_ = BindEntry<QueryEntry>(library, "ServiceIsRunning");
  bound.last_error_ = BindEntry<ErrorEntry>(library, "GetLastSvcError");
  if (!bound.start_ || !bound.stop_ || !bound.is_running_ || !bound.last_error_) return {};
  return bound;
}

bool ServiceLibrary::ServiceIsRunning(const std::string& service) const { return is_running_(service.c_str()) != 0; }

void ServiceLibrary::Start(const std::string& service) const { start_(service.c_str()); }

void ServiceLibrary::Stop(const std::string& service) const { stop_(service.c_str()); }

bool ServiceLibrary::GetLastSvcError(ServiceErrorBuffer& buffer) const { return last_error_(buffer.data()) != 0; }

}  // namespace tarn
