#pragma once
// For LeakSanitizer, in the one test program file that includes it: glibc
// (2.36 of Debian 12 and 2.41 of Debian 13 alike) loses its copy of LOCPATH
// in every newlocale call while LOCPATH is set, as it is in the tests that
// load the test locales. The copy is made by argz_add_sep (called
// __argz_add_sep in 2.36), where glibc's frames end the stack; the pattern
// matches both names.

extern "C" const char* __lsan_default_suppressions() {
  return "leak:argz_add_sep\n";
}
