// The process's peak resident memory, for tests that bound what a load may cost. Under
// AddressSanitizer the shadow memory swamps the figures, so such tests measure nothing there.
#pragma once

#include <sys/resource.h>

// AddressSanitizer, as GCC and clang each announce it.
#if defined(__SANITIZE_ADDRESS__)
#define ZIRCON_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZIRCON_ADDRESS_SANITIZER 1
#endif
#endif
#if defined(ZIRCON_ADDRESS_SANITIZER)
constexpr bool MeasuringMemory = false;
#else
constexpr bool MeasuringMemory = true;
#endif

inline long PeakResidentKb()
{
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}
