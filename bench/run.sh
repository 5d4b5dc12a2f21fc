#!/usr/bin/env bash
# Builds the benchmarks (Release, in build-bench/) and prints the table of bench/pipelinebench.
# Extra arguments go to pipelinebench: --reps N, --clock wall|cpu, --only capture,throughput,...
# (groups: capture, throughput, floor, latency, cold, memory, batch; batch is always wall time)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# The batch group measures peak memory with GNU time, and its peer Vim needs Ruby built in
# (Debian's vim-nox): both are installed here only.
"$root/tools/install-packages.sh" time vim-nox > /dev/null 2>&1 ||
    echo "could not install time and vim-nox; the batch group skips what is missing" >&2
build="$root/build-bench"
mkdir -p "$build"
cmake -G Ninja -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release > "$build/bench-configure.log" 2>&1 ||
    { cat "$build/bench-configure.log"; exit 1; }
ninja -C "$build" -j2 pipelinebench plinthar Korvex > "$build/bench-build.log" 2>&1 ||
    { tail -50 "$build/bench-build.log"; exit 1; }
export LANG=C.UTF-8 LC_ALL=C.UTF-8 QT_QPA_PLATFORM=offscreen
# Processor time by default: the figures then hold on a machine shared with other work.
args=("$@")
[[ " ${args[*]-} " == *" --clock "* ]] || args+=(--clock cpu)
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs)," \
    "$(free -g | awk '/Mem:/ {print $2}') GiB; $(ruby --version | cut -d' ' -f1-2); load $(cut -d' ' -f1-3 /proc/loadavg)"
"$build/bin/pipelinebench" "${args[@]}" 2> "$build/pipelinebench.log"
