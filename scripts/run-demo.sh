#!/usr/bin/env bash
# run-demo.sh: the main job. Builds the Windows client and lets it play one
# whole scripted hand by itself: the scripted game server plays
# tools/demo/autoplay.scn (login, seating, the hand start, the special tiles,
# the deal, every seat's draws and discards, offers the client answers with
# auto-play, a 碰, the win, the settlement) while the stand-in hall launches the client under
# Wine (on an Xvfb of its own when there is no display) with the custom-hall
# switch, which turns auto-play on. Screenshots at the hand start, mid-hand, at
# the hand's end and on the settlement board land in out/demo/ with the logs. (tools/demo/hand.scn is
# the seated hand without auto-play that the end-to-end test plays.) The server plays
# on past a step the client does not answer, so the hand always runs to its
# end; the exit code says whether every step passed.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=$root/out/demo
mkdir -p "$out"
rm -f "$out"/*.png "$out"/*.log "$out"/*.stderr "$out"/*.stdout

bash scripts/setup.sh
cmake -S . -B build/win -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
ninja -C build/win mjclient scripted_server_host stand_in_hall

# shellcheck source=scripts/wine-env.sh
. scripts/wine-env.sh build/win

# Our login (tester) must be one of the scenario's seat names; the custom-hall
# switch names the stand-in hall's title and turns auto-play on.
launch="tester\$secret\$127.0.0.1\$%PORT%\$演示房间\$0\$\$0\$\$\$1\$曲维山庄\$麻将演示\$0\$0\$"
echo "run-demo: playing the hand (about a minute); progress in $out/server.log"
rc=0
/usr/bin/python3 tests/e2e/hall_e2e.py \
    --server build/win/host-tools/scripted_server/scripted_server \
    --hall build/win/bin/stand_in_hall.exe --client build/win/bin/mjclient.exe \
    --scenario tools/demo/autoplay.scn --hall-script tools/demo/demo.hall \
    --launch "$launch" --work "$out" --keep-going --timeout 240 \
    --screenshot-at hand-start="$out/hand-start.png" \
    --screenshot-at mid-hand="$out/mid-hand.png" \
    --screenshot-at end="$out/end.png" \
    --screenshot-at settlement="$out/settlement.png" > "$out/run.log" 2>&1 || rc=$?
mj_wine_stop

echo
echo "client log:  $out/hall.stderr"
echo "hall log:    $out/hall.log"
echo "server log:  $out/server.log"
for shot in hand-start mid-hand end settlement; do
    [ -f "$out/$shot.png" ] && echo "screenshot:  $out/$shot.png"
done
if [ "$rc" -ne 0 ]; then
    echo "run-demo: the hand did not play as scripted; see the FAILED lines of the server log and $out/run.log" >&2
fi
exit "$rc"
