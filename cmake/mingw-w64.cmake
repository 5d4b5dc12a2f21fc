# What both mingw-w64 toolchain files share; they set KORVEX_MINGW_TRIPLE,
# CMAKE_SYSTEM_PROCESSOR, KORVEX_RUBY_PLATFORM (the runtime's platform folder,
# include/ruby-3.1.0/PLATFORM), the package's name and bits, and, where needed,
# KORVEX_MINGW_LINKER_FLAGS before including it.

set(CMAKE_SYSTEM_NAME Windows)

# The posix thread model: the win32 one has no std::thread, std::mutex or
# std::condition_variable.
set(CMAKE_C_COMPILER ${KORVEX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KORVEX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KORVEX_MINGW_TRIPLE}-windres)
set(CMAKE_DLLTOOL ${KORVEX_MINGW_TRIPLE}-dlltool)
# -static links libgcc, libstdc++ and winpthread (which the posix model adds to every link)
# into each binary, so a DLL or EXE needs only system DLLs, msvcrt.dll and the Ruby DLL.
# Import libraries are still used when named by full path, as CMake does.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static ${KORVEX_MINGW_LINKER_FLAGS}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static ${KORVEX_MINGW_LINKER_FLAGS}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static ${KORVEX_MINGW_LINKER_FLAGS}")

set(KORVEX_RUBY_WIN64 "" CACHE PATH
    "Ruby runtime for Windows made by tools/windows/ruby-runtime.sh (bin/, lib/, include/)")
# try_compile projects read the toolchain file again: hand them the runtime too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KORVEX_RUBY_WIN64)

# Libraries and headers only from the mingw-w64 tree (and the runtime); programs from the build
# machine.
set(CMAKE_FIND_ROOT_PATH /usr/${KORVEX_MINGW_TRIPLE})
if(KORVEX_RUBY_WIN64)
    list(APPEND CMAKE_FIND_ROOT_PATH "${KORVEX_RUBY_WIN64}")
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# add_test() of an executable target, and try_run(), run it under Wine (a 32-bit program on
# the 32-bit side of the same prefix).
get_filename_component(CMAKE_CROSSCOMPILING_EMULATOR
    "${CMAKE_CURRENT_LIST_DIR}/../tools/windows/wine.sh" ABSOLUTE)
