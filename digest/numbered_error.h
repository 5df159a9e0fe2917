#pragma once
// The program's error numbers and the one exception type that carries them:
// a failure has a number that callers test, and a short text for people.
// The engine raises 5, 6 and 51; the window core and its front ends add the
// rest. The copy handler treats positive numbers as passing failures worth
// one retry, negative ones as failures a retry would not mend.

#include <new>
#include <stdexcept>
#include <string>

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

class NumberedError : public std::runtime_error {
 public:
  NumberedError(int number, const std::string& text)
      : std::runtime_error(text), number_(number) {}

  int number() const noexcept { return number_; }

 private:
  int number_;
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
