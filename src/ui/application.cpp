#include "ui/application.h"

#include "platform/portable/exceptions.h"
#include "runtime/error_text.h"

namespace tarn {

void TApplication::ShowMessage(std::string_view text) const {
  toolkit_.ShowMessage({title_, std::string(text), MessageIcon::kNone, false});
}

bool TApplication::Ask(std::string_view text) const {
  return toolkit_.Ask({title_, std::string(text), MessageIcon::kNone, false});
}

void TApplication::ShowException(const std::exception_ptr& error) const {
  toolkit_.ShowMessage({title_, WithFullStop(DescribeError(error).message), MessageIcon::kError, false});
}

}  // namespace tarn
