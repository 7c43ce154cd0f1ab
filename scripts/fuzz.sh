#!/usr/bin/env bash
# fuzz.sh [MINUTES]: runs every fuzz target for MINUTES each (default 3) with
# workers = cores - 2, keeping the corpora under build/fuzz/, and prints per
# target the executions, executions per second (all workers and per worker),
# coverage and any finding.
# The targets that reset a prepared client between inputs then replay their
# whole corpus both reset and on a client built per input (which also finds
# leaks), and replay each finding on a client built for it alone: a finding
# that does not come back that way is marked.
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

# name, seeds, longest input, whether it resets a prepared client
targets=(
    "dispatch_fuzz tests/dispatch/fuzz/seeds 4096 reset"
    "anigif_fuzz tests/anigif/fixtures 16384 -"
    "socks5_fuzz tests/link/fuzz/socks5_seeds 512 -"
    "launch_line_fuzz tests/link/fuzz/launch_seeds 1024 -"
    "ini_fuzz tests/results/fuzz/ini_seeds 4096 -"
    "props_fuzz tests/props/fuzz/seeds 4096 reset"
    "video_fuzz tests/video/fuzz/seeds 16384 reset"
)

status=0
printf '%-18s %12s %10s %10s %8s %s\n' target executions exec/s per-worker cov findings
for t in "${targets[@]}"; do
    read -r name seeds maxlen reset <<<"$t"
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
        while read -r f; do
            if [ "$reset" = reset ] && MJ_FUZZ_RESET=fresh "$build/$name" "$f" >/dev/null 2>&1; then
                echo "    $f (does not come back on a client built for it alone)"
            else
                echo "    $f"
            fi
        done <<<"$found"
    fi
    if [ "$reset" = reset ] &&
        ! MJ_FUZZ_RESET=compare "$build/$name" -runs=0 -max_len="$maxlen" -rss_limit_mb=2048 -timeout=30 \
            "$corpus" >"$logs/replay.log" 2>&1; then
        status=1
        echo "    the corpus replayed reset and fresh failed or differed: $logs/replay.log"
    fi
done
exit "$status"
