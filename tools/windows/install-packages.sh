#!/usr/bin/env bash
# Installs what the Windows builds (64-bit and 32-bit) and their tests under Wine need, skipping
# what is already there. Safe to run again.
# Usage: tools/windows/install-packages.sh
set -euo pipefail

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

packages=(
    # The cross toolchains: the posix thread model gives std::thread and std::mutex.
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    mingw-w64-x86-64-dev
    g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
    mingw-w64-i686-dev
    # zlib for both architectures.
    libz-mingw-w64-dev
    cmake ninja-build make
    # Building Ruby, OpenSSL and libffi from Debian's source packages: apt-get source, their
    # patches, configure, the parser, OpenSSL's Configure (perl), and a host Ruby of the same
    # version as the one being built (baseruby).
    dpkg-dev patch quilt autoconf bison perl ruby xz-utils
    # Running the result: wine64 runs 64-bit programs, wine32 (from the i386 architecture)
    # 32-bit ones; a new prefix then serves both.
    wine wine64 wine32:i386
    # GoogleTest for the Windows tests is built from Debian's sources.
    googletest
    zip unzip coreutils
    # The certificate authorities the package ships for OpenSSL, and the locale data from which
    # the tests make a Japanese locale (code page 932 under Wine).
    ca-certificates locales
)

# wine32 comes from the i386 architecture; the package installer's index update then sees it.
if [ "$(dpkg --print-architecture)" != i386 ] &&
    ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386
fi

"$(dirname "${BASH_SOURCE[0]}")/../install-packages.sh" "${packages[@]}"
