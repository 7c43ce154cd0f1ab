#!/bin/sh
# screenshot.sh: a PNG of the X screen, or of the one window with the given
# title, for tests and the demo run.
#   scripts/screenshot.sh OUT.png [WINDOW_TITLE]
# Needs DISPLAY (and XAUTHORITY when the server uses one). ImageMagick's
# `import` is installed when missing (the `convert` in /usr/local/bin on these
# machines is a stand-in, the real one comes with the package too).
set -eu
out=${1:?usage: screenshot.sh OUT.png [WINDOW_TITLE]}
title=${2:-}
[ -n "${DISPLAY:-}" ] || { echo "screenshot.sh: no DISPLAY" >&2; exit 2; }
if [ ! -x /usr/bin/import ]; then
    apt-get install -y --no-install-recommends imagemagick >/dev/null 2>&1 ||
        { apt-get update >/dev/null 2>&1 && apt-get install -y --no-install-recommends imagemagick >/dev/null 2>&1; } ||
        { echo "screenshot.sh: cannot install imagemagick" >&2; exit 2; }
fi
window=root
if [ -n "$title" ]; then
    # Wine's unmanaged windows are children of the root with the title as
    # their name; xwininfo lists them as: 0x1234 "title": (...).
    window=$(xwininfo -root -tree 2>/dev/null | awk -v t="\"$title\":" 'index($0, t) { print $1; exit }')
    if [ -z "$window" ]; then
        echo "screenshot.sh: no window titled '$title'" >&2
        exit 1
    fi
fi
/usr/bin/import -window "$window" "$out"
