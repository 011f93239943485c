// The C allocator's bytes in use, for the show's no-growth check: glibc's
// count, or the sanitizer's when it replaces the allocator.
#include <malloc.h>

#include "show_support.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELM_TEST_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define VELM_TEST_ASAN 1
#endif
#ifdef VELM_TEST_ASAN
#include <sanitizer/allocator_interface.h>
#endif

std::size_t showtest::HeapInUse() {
#ifdef VELM_TEST_ASAN
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}
