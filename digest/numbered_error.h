#pragma once
// The program's error numbers and the one exception type that carries them:
// a failure has a number that callers test, and a short text for people.
// The engine raises 5, 6 and 51; the window core and its front ends add the
// rest. The copy handler treats positive numbers as passing failures worth
// one retry, negative ones as failures a retry would not mend.

#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "fill_in.h"

namespace basMD5 {

enum ErrorNumber : int {
  kErrInvalidArgument = 5,  // a byte count outside the array it describes
  kErrOverflow = 6,         // a value or length beyond what the engine handles
  kErrOutOfMemory = 7,
  kErrConversion = 51,      // the platform could not convert the text to bytes
  kErrClipboardBusy = 521,  // another program holds the clipboard open
  // The window system did not make the copied text the clipboard's.
  kErrClipboardRefused = 522,
  // Any other failure that reaches the window core; a retry would not mend it.
  kErrUnexpected = -1,
};

// what() is the English text with its gaps filled in; text() and details()
// give it apart, for showing it in the user's language (the English text is
// the key of its translations). Copies cost no allocation, so that a failure
// can be passed on where nothing may throw.
class NumberedError : public std::runtime_error {
 public:
  // text may hold gaps "{1}", "{2}" and so on, for details in that order.
  NumberedError(int number, const std::string& text,
                std::vector<std::string> details = {})
      : std::runtime_error(FillIn(text, details)),
        number_(number),
        parts_(std::make_shared<const Parts>(Parts{text, std::move(details)})) {
  }

  int number() const noexcept { return number_; }
  const std::string& text() const noexcept { return parts_->text; }
  const std::vector<std::string>& details() const noexcept {
    return parts_->details;
  }

 private:
  struct Parts {
    std::string text;
    std::vector<std::string> details;
  };
  int number_;
  std::shared_ptr<const Parts> parts_;
};

// The failure being handled, as a numbered error: itself when numbered,
// error 7 for running out of memory, kErrUnexpected for anything else. Call
// it only inside a catch block.
inline NumberedError CurrentFailure() noexcept {
  try {
    throw;
  } catch (const NumberedError& failure) {
    return failure;
  } catch (const std::bad_alloc&) {
    return NumberedError(kErrOutOfMemory, "Out of memory");
  } catch (const std::exception& failure) {
    return NumberedError(kErrUnexpected, failure.what());
  } catch (...) {
    return NumberedError(kErrUnexpected, "Unknown failure");
  }
}

}  // namespace basMD5
