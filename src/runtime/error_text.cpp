#include "runtime/error_text.h"

#include <new>

#include "platform/portable/exceptions.h"

namespace tarn {

ErrorText DescribeError(const std::exception_ptr& error) {
  ErrorText text;
  try {
    std::rethrow_exception(error);
  } catch (const Exception& e) {
    text = {e.ClassName(), e.Message()};
  } catch (const std::bad_alloc&) {
    text = {"EOutOfMemory", EOutOfMemory().Message()};
  } catch (const std::exception& e) {
    text.message = e.what();
  } catch (...) {
  }
  return text;
}

}  // namespace tarn
