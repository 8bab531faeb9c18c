#include "ui/application.h"

#include <new>

#include "platform/portable/exceptions.h"

namespace tarn {

namespace {

std::string ErrorMessage(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const Exception& e) {
    return e.Message();
  } catch (const std::bad_alloc&) {
    return EOutOfMemory().Message();
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return {};
  }
}

}  // namespace

void TApplication::ShowMessage(std::string_view text) const {
  toolkit_.ShowMessage({title_, std::string(text), MessageIcon::kNone, false});
}

void TApplication::ShowException(const std::exception_ptr& error) const {
  toolkit_.ShowMessage({title_, WithFullStop(ErrorMessage(error)), MessageIcon::kError, false});
}

}  // namespace tarn
