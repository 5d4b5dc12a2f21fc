#!/usr/bin/env bash
# Builds the benchmarks (Release, in build-bench/) and prints the table of bench/pipelinebench.
# Extra arguments go to pipelinebench: --reps N, --clock wall|cpu, --only capture,throughput,...
# (groups: capture, throughput, floor, latency, cold, memory, batch; batch is always wall time)
set -euo pipefail
# The batch group measures peak memory with GNU time, and its peer Vim needs Ruby built in
# (Debian's vim-nox): both are installed here only.
as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }
for tool in /usr/bin/time:time vim.nox:vim-nox; do
    if ! command -v "${tool%%:*}" > /dev/null && command -v apt-get > /dev/null; then
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
            "${tool#*:}" > /dev/null 2>&1 || echo "could not install ${tool#*:}" >&2
    fi
done
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
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
