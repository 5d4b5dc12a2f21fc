// Sanitizer settings built into every program of a sanitizer build, so that the programs run
// that way also when started by hand. Builds without sanitizers never call these.

extern "C" {

/// The Ruby runtime's collector finds live objects by scanning the machine stack; locals moved
/// to ASan's fake stacks would be invisible to it. A script may ask for 2**40 bytes: that must
/// come back as a failed allocation (NoMemoryError), not end the process. The runtime's
/// thread-local block, in a library loaded with the plug-in, is recorded by the __tls_get_addr
/// interceptor at a wrong address on this glibc, and the leak check at exit then crashes on
/// it (depending on the program's layout); the dynamic thread-local blocks are not scanned.
/// The runtime gives each of its threads an alternate signal stack of its own (from malloc) in
/// place of the sanitizer's; when such a thread ends, the sanitizer unmaps whatever alternate
/// stack is current as if it were its own and aborts when that fails, so it installs none.
const char *__asan_default_options()
{
    return "detect_stack_use_after_return=0:allocator_may_return_null=1:intercept_tls_get_addr=0:"
           "use_sigaltstack=0";
}

/// Leaks of the never-finalized Ruby runtime are listed in lsan.supp.
const char *__lsan_default_options()
{
    return "suppressions=" KORVEX_LSAN_SUPPRESSIONS ":print_suppressions=0";
}
}
