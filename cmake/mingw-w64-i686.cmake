# Cross-compiles for 32-bit Windows with Debian's mingw-w64 (tools/windows/install-packages.sh).
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake -DKORVEX_RUBY_WIN64=DIR ...
# DIR is a runtime made by tools/windows/ruby-runtime.sh i686 DIR (the variable names the
# runtime of either architecture). Tests of the build run under Wine through
# tools/windows/wine.sh, on the 32-bit side of a 64-bit prefix (needs wine32).

set(CMAKE_SYSTEM_PROCESSOR x86)
set(KORVEX_MINGW_TRIPLE i686-w64-mingw32)
set(KORVEX_RUBY_PLATFORM i386-mingw32)
# A DLL's exports are named plainly in its .def file; here their symbols carry the __stdcall
# size of their arguments (_OnCommand@4), which the linker takes for the plain name.
set(KORVEX_MINGW_LINKER_FLAGS "-Wl,--enable-stdcall-fixup")
# The package for editors of this architecture, and the licence of its mingw-w64 runtime.
set(KORVEX_WINDOWS_BITS 32)
set(KORVEX_WINDOWS_PACKAGE korvex-win32)
set(KORVEX_MINGW_LICENCE /usr/share/doc/mingw-w64-i686-dev/copyright)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
