#!/usr/bin/env bash
# One memcheck run of the end-to-end test (plinthar's frame with the built Korvex.so).
#   tests/hostile/valgrind.sh [BUILD_DIR]    default: build-valgrind, made as a Debug build
#                                            (an existing build folder keeps its settings)
# Fails when memcheck reports an error that valgrind.supp does not put down to the Ruby
# runtime, Qt or the system libraries; the full report is BUILD_DIR/valgrind-e2e.log.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-build-valgrind}
[[ $build = /* ]] || build=$root/$build

if [ -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" >/dev/null
else
    cmake -G Ninja -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug >/dev/null
fi
ninja -C "$build" -j2 e2e_tests Korvex

log=$build/valgrind-e2e.log
: >"$log"
# Korvex loads once per process, so every test runs in a valgrind of its own, as under CTest.
# The runtime's collector reads the whole machine stack, uninitialised words included, and
# its own stack checks need a larger main stack than valgrind gives by default.
tests=$(QT_QPA_PLATFORM=offscreen "$build/bin/e2e_tests" --gtest_list_tests 2>/dev/null |
    awk '/^[^ ]/ { suite = $1 } /^  / { print suite $1 }')
failed=()
for t in $tests; do
    echo "== $t"
    QT_QPA_PLATFORM=offscreen LANG=C.UTF-8 LC_ALL=C.UTF-8 \
        valgrind --tool=memcheck --error-exitcode=99 --track-origins=no \
        --leak-check=full --errors-for-leak-kinds=definite --show-leak-kinds=definite \
        --main-stacksize=67108864 --max-stackframe=67108864 \
        --suppressions="$root/tests/hostile/valgrind.supp" --gen-suppressions=all \
        --log-file="$log.part" "$build/bin/e2e_tests" --gtest_filter="$t" </dev/null >/dev/null 2>&1 &&
        status=0 || status=$?
    cat "$log.part" >>"$log"
    grep -E '^==[0-9]+== ERROR SUMMARY' "$log.part" | tail -n 1 || true
    [ "$status" = 0 ] || failed+=("$t (status $status)")
done
rm -f "$log.part"
if [ ${#failed[@]} -gt 0 ]; then
    printf 'valgrind.sh: failed: %s\n' "${failed[@]}" >&2
    echo "valgrind.sh: status 99 is memcheck's; the report is $log" >&2
    exit 1
fi
