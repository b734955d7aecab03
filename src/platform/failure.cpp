#include "platform/failure.h"

namespace platform {

std::string failureText(const Failure& failure) {
  std::string text = failure.message;
  if (failure.osError != 0) text.append("\r\n").append(osErrorText(failure.osError));
  text.append(failure.aftermath);
  return text;
}

}  // namespace platform
