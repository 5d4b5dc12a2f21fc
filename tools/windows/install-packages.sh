#!/usr/bin/env bash
# Installs what the Windows build and its tests under Wine need, skipping what is already there.
# Usage: tools/windows/install-packages.sh
set -euo pipefail

packages=(
    # The cross toolchain: the posix thread model gives std::thread and std::mutex.
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    mingw-w64-x86-64-dev libz-mingw-w64-dev
    cmake ninja-build make
    # Building Ruby from Debian's source package: apt-get source, its patches, configure,
    # the parser, and a host Ruby of the same version as the one being built (baseruby).
    dpkg-dev patch quilt autoconf bison ruby xz-utils
    # Running the result: wine picks the 64-bit loader when the 32-bit one is missing.
    wine wine64
    # GoogleTest for the Windows tests is built from Debian's sources.
    googletest
    zip unzip coreutils
)

"$(dirname "${BASH_SOURCE[0]}")/../install-packages.sh" "${packages[@]}"
