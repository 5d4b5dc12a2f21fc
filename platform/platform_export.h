#pragma once

// The platform layer is one shared library per process; these symbols are its interface.
#define PLATFORM_EXPORT __attribute__((visibility("default")))
