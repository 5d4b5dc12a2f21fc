#pragma once

// On Linux the platform layer is one shared library per process (our stand-in for the
// Windows system libraries), and these symbols are its interface. On Windows the layer is
// linked into the library that uses it.
#ifdef _WIN32
#define PLATFORM_EXPORT
#else
#define PLATFORM_EXPORT __attribute__((visibility("default")))
#endif
