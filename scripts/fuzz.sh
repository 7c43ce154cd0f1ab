#!/usr/bin/env bash
# fuzz.sh [MINUTES]: runs every fuzz target for MINUTES each (default 3) with
# workers = cores - 2, keeping the corpora under build/fuzz/, and prints per
# target the executions, executions per second (all workers and per worker),
# coverage and any finding.
# Builds the fuzz tree first (clang with libFuzzer, ASan and UBSan).
set -u
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
minutes="${1:-3}"
cores="$(nproc)"
workers=$(( cores > 3 ? cores - 2 : 1 ))
build="$root/build/fuzz"
seconds=$(( minutes * 60 ))
[ "$seconds" -gt 0 ] || seconds=20  # 0 minutes: a smoke run of 20 s

cmake -S . -B "$build" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DMJ_FUZZ=ON \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || exit 1
ninja -C "$build" -j "$cores" || exit 1

# name, seeds, longest input
targets=(
    "dispatch_fuzz tests/dispatch/fuzz/seeds 4096"
    "anigif_fuzz tests/anigif/fixtures 16384"
    "socks5_fuzz tests/link/fuzz/socks5_seeds 512"
    "launch_line_fuzz tests/link/fuzz/launch_seeds 1024"
    "ini_fuzz tests/results/fuzz/ini_seeds 4096"
    "props_fuzz tests/props/fuzz/seeds 4096"
    "video_fuzz tests/video/fuzz/seeds 16384"
)

status=0
printf '%-18s %12s %10s %10s %8s %s\n' target executions exec/s per-worker cov findings
for t in "${targets[@]}"; do
    read -r name seeds maxlen <<<"$t"
    [ -x "$build/$name" ] || { echo "$name: not built"; status=1; continue; }
    corpus="$build/${name}_corpus"
    findings="$build/${name}_findings"
    logs="$build/${name}_logs"
    mkdir -p "$corpus" "$findings" "$logs"
    rm -f "$logs"/fuzz-*.log
    # -fork keeps going after a finding and writes each crash to findings/.
    (cd "$logs" && "$build/$name" -fork="$workers" -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 \
        -max_total_time="$seconds" -max_len="$maxlen" -rss_limit_mb=2048 -timeout=10 \
        -artifact_prefix="$findings/" "$corpus" "$root/$seeds" >"$logs/main.log" 2>&1)
    last="$(grep -E '^#[0-9]+' "$logs/main.log" | tail -1)"
    execs="$(sed -nE 's/^#([0-9]+).*/\1/p' <<<"$last")"
    cov="$(sed -nE 's/.*cov: ([0-9]+).*/\1/p' <<<"$last")"
    secs="$(sed -nE 's/.*time: ([0-9]+)s.*/\1/p' <<<"$last")"
    rate=$(( ${secs:-0} > 0 ? ${execs:-0} / secs : 0 ))
    found="$(find "$findings" -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | sort)"
    printf '%-18s %12s %10s %10s %8s %s\n' "$name" "${execs:-?}" "$rate" "$(( rate / workers ))" "${cov:-?}" "$( [ -n "$found" ] && echo "$found" | wc -l || echo 0)"
    if [ -n "$found" ]; then
        status=1
        echo "$found" | sed 's/^/    /'
    fi
done
exit "$status"
