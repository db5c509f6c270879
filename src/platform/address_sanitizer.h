// ZIRCON_ADDRESS_SANITIZER is defined when the build has AddressSanitizer, as GCC and clang
// each announce it.
#pragma once

#if defined(__SANITIZE_ADDRESS__)
#define ZIRCON_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZIRCON_ADDRESS_SANITIZER 1
#endif
#endif
