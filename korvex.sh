#!/usr/bin/env bash
# Sets up a Debian 12 machine for Korvex, builds it, and runs the editor or the tests.
#   ./korvex.sh run       the editor with Korvex loaded (the batch demo on a headless machine)
#   ./korvex.sh test      every test: the normal and the sanitizer build, the fuzzers, and the
#                         Windows build under Wine
#   ./korvex.sh build     only install and build (Linux)
#   ./korvex.sh windows   only install and build Korvex.dll, plinthar.exe and the packages for
#                         64-bit and 32-bit editors, build-windows/korvex-win64.zip and
#                         build-windows-x86/korvex-win32.zip
set -euo pipefail
cd "$(dirname "$0")"
here=$PWD

packages=(g++ cmake ninja-build pkg-config ruby ruby-dev qt6-base-dev libqscintilla2-qt6-dev libgl-dev libgtest-dev
          xvfb xauth fonts-noto-cjk clang libclang-rt-14-dev)

# Marks where each part of a long command starts, with the time taken so far.
part() { echo "korvex.sh: $* (at ${SECONDS} s)" >&2; }

install_packages() {
    tools/install-packages.sh "${packages[@]}"
}

build() { # build DIR [cmake options...]
    local dir=$1; shift
    cmake -G Ninja -S "$here" -B "$dir" "$@" >/dev/null
    cmake --build "$dir"
}

# Puts the sample scripts into Documents/Korvex without touching the user's own.
install_samples() {
    local docs
    docs=$(xdg-user-dir DOCUMENTS 2>/dev/null || true)
    [ -n "$docs" ] && [ "$docs" != "$HOME" ] || docs=$HOME/Documents
    mkdir -p "$docs/Korvex"
    for f in samples/*.rb; do
        [ -e "$docs/Korvex/$(basename "$f")" ] || cp "$f" "$docs/Korvex/"
    done
}

# Korvex.dll and its tests for each architecture: the build folder, the architecture (which
# names the toolchain file and the runtime) and the other architecture's package, which the
# package test installs beside this one's.
windows_builds=("build-windows x86_64 build-windows-x86/korvex-win32.zip"
                "build-windows-x86 i686 build-windows/korvex-win64.zip")
# Cross-built with mingw-w64 against a Ruby runtime built for Windows from Debian's source
# (cached under ~/.cache/korvex after the first time).
build_windows() {
    tools/windows/install-packages.sh
    local entry dir arch other
    for entry in "${windows_builds[@]}"; do
        read -r dir arch other <<<"$entry"
        part "the Windows runtime and $dir ($arch)"
        tools/windows/ruby-runtime.sh "$arch" "$here/$dir/ruby"
        build "$dir" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-$arch.cmake" \
            -DKORVEX_RUBY_WIN64="$here/$dir/ruby" -DKORVEX_OTHER_PACKAGE_ZIP="$here/$other"
    done
}

test_windows() {
    local entry dir
    for entry in "${windows_builds[@]}"; do
        read -r dir _ <<<"$entry"
        part "the tests of $dir under Wine"
        (cd "$dir" && ctest --output-on-failure -j2)
    done
}

case "${1:-}" in
build)
    install_packages
    build build
    ;;
run)
    install_packages
    build build
    install_samples
    if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
        exec build/bin/plinthar samples/document-utf8.txt
    fi
    echo "No display: filtering samples/document-utf8.txt through upcase.rb in batch mode." >&2
    exec build/bin/plinthar --batch --script upcase.rb samples/document-utf8.txt
    ;;
test)
    part "installing packages"
    install_packages
    part "building build/"
    build build
    (cd build && ctest --output-on-failure -j2)
    part "building build-asan/"
    build build-asan -DKORVEX_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
    (cd build-asan && ctest --output-on-failure -j2)
    part "fuzzing"
    tests/fuzz/run.sh 60
    build_windows
    test_windows
    part "done"
    ;;
windows)
    build_windows
    ;;
*)
    sed -n '2,10p' "$0" >&2
    exit 2
    ;;
esac
