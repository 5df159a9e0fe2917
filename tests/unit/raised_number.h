#pragma once
// The number of the NumberedError that a call raises, or 0 when it raises
// none, so that tables of cases can state the expected error as a number.

#include "numbered_error.h"

template <typename Call>
int RaisedNumber(Call&& call) {
  try {
    call();
  } catch (const basMD5::NumberedError& error) {
    return error.number();
  }
  return 0;
}
