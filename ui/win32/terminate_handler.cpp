// libstdc++'s default terminate handler prints the type of an uncaught
// exception to stderr, which a GUI program does not have, and brings along
// a C++ name demangler of about 70 KB. This definition takes its place at
// link time: the program aborts as it would after printing.

#include <cstdlib>
#include <exception>

namespace __gnu_cxx {

void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx
