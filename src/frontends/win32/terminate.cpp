// What happens when the C++ runtime must terminate the program.
#include <cstdlib>

#if defined(__GLIBCXX__)
// The runtime's own handler prints the uncaught exception's type, demangled, on the
// console; that links the whole name demangler (about 45 KB) into casino.exe. A window
// program has no console to print to, so the game ends at once instead, as abort() does
// after the message.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }  // NOLINT(bugprone-reserved-identifier)
}  // namespace __gnu_cxx
#endif
