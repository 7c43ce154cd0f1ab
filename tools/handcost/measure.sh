#!/usr/bin/env bash
# measure.sh [RUNS]: the client's CPU per hand, idle CPU and memory, with
# partial repaints and with full ones (MJ_FULL_REPAINT=1), RUNS times each
# (default 3). Needs a built build/win (mjclient, scripted_server_host,
# stand_in_hall); installs nothing. Logs land in out/handcost/.
set -uo pipefail
cd "$(dirname "$0")/../.."
runs="${1:-3}"
# shellcheck source=scripts/wine-env.sh
. scripts/wine-env.sh build/win
for i in $(seq 1 "$runs"); do
    for mode in 0 1; do
        MJ_FULL_REPAINT=$mode /usr/bin/python3 tools/handcost/measure_hand.py --build build/win \
            --work "out/handcost/run$i-$mode"
    done
done
mj_wine_stop
