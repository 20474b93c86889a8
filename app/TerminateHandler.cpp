// The C++ runtime's default terminate handler prints the demangled type of an
// uncaught exception to stderr. A windowed program has no stderr, and the
// demangler and the printf engine behind it are about a quarter of the exe.
// Defining the handler here, in an object linked directly into the exe, keeps
// the runtime's version (and everything it pulls in) out of the link; an
// uncaught exception still ends the program through abort(), as before.
#include <cstdlib>

namespace __gnu_cxx {
[[noreturn]] void __verbose_terminate_handler();
[[noreturn]] void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
