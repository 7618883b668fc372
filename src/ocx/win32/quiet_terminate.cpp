// What std::terminate calls by default. libstdc++'s own handler prints the
// exception's demangled type to stderr first: a browser's process has no
// stderr to read it from, and the handler brings the demangler and stdio
// into the DLL. Defined here, the runtime's copy stays out of the link; the
// end is the same abort.
#include <cstdlib>
#include <exception>

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
