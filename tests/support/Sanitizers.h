#pragma once
// Whether the program was built with AddressSanitizer, for the tests whose measure or whose
// conditions it changes (GCC defines __SANITIZE_ADDRESS__, clang answers __has_feature).
namespace Sanitizers {

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool address = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool address = true;
#else
inline constexpr bool address = false;
#endif
#else
inline constexpr bool address = false;
#endif

} // namespace Sanitizers
