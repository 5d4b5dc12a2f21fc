# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (tools/windows/install-packages.sh).
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DKORVEX_RUBY_WIN64=DIR ...
# DIR is a runtime made by tools/windows/ruby-runtime.sh x86_64 DIR. Tests of the build run
# under Wine through tools/windows/wine.sh.

set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(KORVEX_MINGW_TRIPLE x86_64-w64-mingw32)
set(KORVEX_RUBY_PLATFORM x64-mingw32)
# The package for editors of this architecture, and the licence of its mingw-w64 runtime.
set(KORVEX_WINDOWS_BITS 64)
set(KORVEX_WINDOWS_PACKAGE korvex-win64)
set(KORVEX_MINGW_LICENCE /usr/share/doc/mingw-w64-x86-64-dev/copyright)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
