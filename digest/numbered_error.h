#pragma once
// The one exception type of the program: a failure carries a number that
// callers test, and a short text for people.

#include <stdexcept>
#include <string>

namespace basMD5 {

enum ErrorNumber : int {
  kErrInvalidArgument = 5,  // a byte count outside the array it describes
  kErrOverflow = 6,         // a value or length beyond what the engine handles
  kErrOutOfMemory = 7,
  kErrConversion = 51,  // the platform could not convert the text to bytes
};

class NumberedError : public std::runtime_error {
 public:
  NumberedError(int number, const std::string& text)
      : std::runtime_error(text), number_(number) {}

  int number() const noexcept { return number_; }

 private:
  int number_;
};

}  // namespace basMD5
