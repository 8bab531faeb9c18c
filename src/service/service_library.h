// ServiceLibrary: the four entries of the service-control library
// `quelmont`, bound by name once while the window is created. The library is
// optional: when it is missing, or lacks any of the four entries, nothing is
// bound and the window offers no service control. It is never unloaded.
#pragma once

#include <array>
#include <string>

namespace tarn {

// The name of the library and of the server's service that it controls.
inline constexpr char kServiceLibraryName[] = "quelmont";
inline constexpr char kServiceName[] = "tarnServiceMain";

// The buffer that GetLastSvcError fills with NUL-terminated text.
using ServiceErrorBuffer = std::array<char, 256>;

class ServiceLibrary final {
 public:
  // Nothing bound.
  ServiceLibrary() = default;

  // Loads `library_name` through the platform's loader and binds its
  // entries. A library that lacks one of the four is treated as absent, so
  // the button never calls an entry that is not there.
  static ServiceLibrary Bind(const std::string& library_name);

  bool Bound() const { return is_running_ != nullptr; }

  // Each requires Bound().
  bool ServiceIsRunning(const std::string& service) const;
  void Start(const std::string& service) const;
  void Stop(const std::string& service) const;
  // True when the last start or stop failed; the library then wrote its
  // error text, NUL-terminated, into `buffer`.
  bool GetLastSvcError(ServiceErrorBuffer& buffer) const;

 private:
  // The entries' signatures: booleans are one byte, non-zero meaning true.
  using QueryEntry = unsigned char (*)(const char* service);
  using ErrorEntry = unsigned char (*)(char* buffer);

  QueryEntry is_running_ = nullptr;
  QueryEntry start_ = nullptr;
  QueryEntry stop_ = nullptr;
  ErrorEntry last_error_ = nullptr;
};

}  // namespace tarn
