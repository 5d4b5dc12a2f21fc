#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, ASan, UBSan) and runs each for a while on a
# scratch copy of its seed corpus, so the committed corpus never grows.
#   tests/fuzz/run.sh [SECONDS] [BUILD_DIR]    defaults: 60 seconds, build-fuzz
# Fails when a target finds a crash, a leak or a broken invariant; the input is kept in
# BUILD_DIR/fuzz-findings/<target>/.
set -euo pipefail
seconds=${1:-60}
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${2:-build-fuzz}
[[ $build = /* ]] || build=$root/$build
targets=(linelist scripttext propertyqueries hostmessages)

# The script-text target also checks a Shift-JIS locale when one can be made; without it, it
# checks UTF-8 only.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.sjis$'; then
    localedef -f SHIFT_JIS -i ja_JP ja_JP.SJIS >/dev/null 2>&1 ||
        echo "run.sh: no Shift-JIS locale; fuzz_scripttext checks UTF-8 only" >&2
fi

CC=clang CXX=clang++ cmake -G Ninja -S "$root" -B "$build" \
    -DKORVEX_FUZZ=ON -DKORVEX_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C "$build" -j2 fuzz_targets

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failed=()
for t in "${targets[@]}"; do
    mkdir -p "$scratch/$t" "$build/fuzz-findings/$t"
    cp "$root/tests/fuzz/corpus/$t/"* "$scratch/$t/"
    echo "== fuzz_$t for ${seconds}s"
    if "$build/bin/fuzz_$t" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$build/fuzz-findings/$t/" "$scratch/$t" >"$scratch/$t.log" 2>&1; then
        grep -E '^(Done|stat::number_of_executed_units)' "$scratch/$t.log" || true
    else
        tail -n 40 "$scratch/$t.log"
        failed+=("$t")
    fi
done

passed=$((${#targets[@]} - ${#failed[@]}))
echo "fuzz: ${passed} passed, ${#failed[@]} failed"
if [ ${#failed[@]} -gt 0 ]; then
    echo "failing targets: ${failed[*]} (inputs in $build/fuzz-findings/)" >&2
    exit 1
fi
