#!/bin/bash
# Two threads in one process against two one-thread processes side by side, in turns: on a
# busy machine neither shows a clean doubling, but a lock or other state shared inside the
# library makes the threads fall behind the processes. With the kernel's autogroup scheduling
# (/proc/sys/kernel/sched_autogroup_enabled) everything started from one session shares one
# group's slice of the CPUs, so while other sessions keep the cores busy a second thread or
# process adds no CPU time: then only the rate per CPU-second and this comparison tell.
# Usage: bench/api_threads_vs_processes.sh BUILD_DIR [corpus-dir [seconds [rounds]]]
set -euo pipefail
bench="${1:?build directory}/bench/bench_api_threads"
corpus="${2:-$(dirname "$0")/../../shared/corpus}"
seconds="${3:-3}"
rounds="${4:-3}"
rate() { sed -n 's/^[0-9] thread(s): *\([0-9.]*\) conversions.*/\1/p'; }
for ((r = 1; r <= rounds; ++r)); do
  load=$(cut -d' ' -f1 /proc/loadavg)
  threads=$("$bench" "$corpus" "$seconds" 2 | rate)
  a=$(mktemp) b=$(mktemp)
  "$bench" "$corpus" "$seconds" 1 >"$a" & first=$!
  "$bench" "$corpus" "$seconds" 1 >"$b" & second=$!
  wait "$first" "$second"
  processes=$(awk '{ s += $1 } END { printf "%.1f", s }' <(rate <"$a") <(rate <"$b"))
  rm -f "$a" "$b"
  echo "round $r (load $load): 2 threads $threads/s, 2 processes $processes/s"
done
