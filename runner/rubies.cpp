#include "rubies.h"

#if defined(__SANITIZE_ADDRESS__)
#define KORVEX_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KORVEX_ADDRESS_SANITIZER 1
#endif
#endif

#ifdef KORVEX_ADDRESS_SANITIZER
#include <pthread.h>
#include <sanitizer/asan_interface.h>
#endif

namespace {

#ifdef KORVEX_ADDRESS_SANITIZER
/// The lowest address of the calling thread's stack.
char *stackLowEnd()
{
    thread_local char *low = [] {
        void *address = nullptr;
        std::size_t size = 0;
        pthread_attr_t attributes;
        if (pthread_getattr_np(pthread_self(), &attributes) == 0) {
            pthread_attr_getstack(&attributes, &address, &size);
            pthread_attr_destroy(&attributes);
        }
        return static_cast<char *>(address);
    }();
    return low;
}

/// The runtime leaves a raise with __builtin_longjmp, which the address sanitizer does not
/// see: the frames it skipped keep their poisoned red zones, and later frames in that place
/// would be reported. Everything below the caller's frame is dead once rb_protect returned.
__attribute__((noinline)) void forgetSkippedFrames()
{
    char *const low = stackLowEnd();
    char *const here = static_cast<char *>(__builtin_frame_address(0));
    if (low && here > low)
        __asan_unpoison_memory_region(low, static_cast<std::size_t>(here - low));
}
#else
void forgetSkippedFrames() {}
#endif

} // namespace

VALUE Rubies::protect(VALUE (*function)(VALUE), VALUE argument, int *state)
{
    const VALUE result = rb_protect(function, argument, state);
    if (*state)
        forgetSkippedFrames();
    return result;
}
