// What std::terminate calls. libstdc++'s default handler prints the
// exception's demangled type to stderr first: a browser's process has no
// stderr to read it from, and the handler brings the demangler and stdio
// into the DLL. Defining the runtime's handler variable here keeps that
// object of libstdc++ out of the link; the end is the same abort.
#include <cstdlib>
#include <exception>

namespace __cxxabiv1 {
std::terminate_handler __terminate_handler = std::abort;
}  // namespace __cxxabiv1
