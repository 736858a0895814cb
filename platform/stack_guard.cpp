// The stack protector's guard and its failure path. GCC's own (libssp) seeds
// the guard through ADVAPI32; the program imports nothing beyond KERNEL32,
// USER32, GDI32 and msvcrt, so it keeps these two of its own, made the way
// Windows' compilers make theirs.
#include <windows.h>

#include <cstdint>

namespace {

// The guard's value in the file: the one Microsoft's compilers start with, so
// that tools that look for a guard find it. Replaced before the program runs.
constexpr std::uintptr_t kInitialGuard =
    sizeof(std::uintptr_t) == 8 ? static_cast<std::uintptr_t>(0x00002B992DDFA232ull) : 0xBB40E64Eu;

}  // namespace

extern "C" {

std::uintptr_t __stack_chk_guard = kInitialGuard;

// A checked function found its guard overwritten: nothing above this frame
// is to be trusted, so the process ends here, as Windows' own compilers end
// it. Where the system offers fail-fast (Windows 8 and later), int 0x29 ends
// the process in the kernel with no handler run; before that the same
// instruction is a plain fault, which would go to the exception handlers on
// the very stack found corrupt, so the process is ended outright instead.
// Nothing else is called: every call runs on that stack. Unchecked itself:
// it has no guard to trust.
[[noreturn]] __attribute__((no_stack_protector)) void __stack_chk_fail() {
    if (IsProcessorFeaturePresent(PF_FASTFAIL_AVAILABLE))
        __asm__ __volatile__("int $0x29" : : "c"(FAST_FAIL_STACK_COOKIE_CHECK_FAILURE) : "memory");
    // The current process's pseudo-handle, which GetCurrentProcess would return.
    TerminateProcess(reinterpret_cast<HANDLE>(-1), STATUS_STACK_BUFFER_OVERRUN);
    for (;;) {
    }
}

}  // extern "C"

namespace {

// Runs with the static constructors, before any of the program's functions is
// on the stack, and is itself unchecked: it changes the value it would check.
// A different guard each run, from what differs between runs and processes.
__attribute__((constructor, no_stack_protector)) void SeedStackGuard() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    std::uint64_t seed = (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    seed ^= static_cast<std::uint64_t>(GetCurrentProcessId()) << 32 ^ GetCurrentThreadId();
    seed ^= static_cast<std::uint64_t>(counter.QuadPart) << 16 ^ static_cast<std::uint64_t>(counter.QuadPart);
    seed ^= reinterpret_cast<std::uintptr_t>(&seed);  // where the stack is: randomised with ASLR
    std::uintptr_t guard = static_cast<std::uintptr_t>(seed ^ (seed >> 32));
    // As on Windows, the top two bytes of a 64-bit guard are zero: a string
    // copy, which ends with one zero byte, cannot write it back.
    if (sizeof guard == 8) guard &= static_cast<std::uintptr_t>(0x0000FFFFFFFFFFFFull);
    if (guard == 0 || guard == kInitialGuard) guard = kInitialGuard ^ 0x4711;
    __stack_chk_guard = guard;
}

}  // namespace
