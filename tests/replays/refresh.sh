#!/bin/sh
# Rewrites the expected dumps from the recordings, after a deliberate change
# of the game's behaviour:   tests/replays/refresh.sh BUILD_DIR
# With --record it first plays every session again with the autopilot
# (make_recordings), which gives new recordings.
set -e
here=$(cd "$(dirname "$0")" && pwd)
build=${1:?usage: refresh.sh BUILD_DIR [--record]}
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
if [ "$2" = "--record" ]; then
    cmake --build "$build" --target make_recordings korvane-headless
    for name in menu_demo level_cleared game_over password_shop teamwork_level \
            competition_match; do
        "$build/tests/replays/make_recordings" "$name" "$here/$name.rec"
    done
fi
for rec in "$here"/*.rec; do
    "$build/korvane-headless" --script "$rec" > "${rec%.rec}.dump"
    echo "$(basename "${rec%.rec}.dump"): $(wc -l < "${rec%.rec}.dump") dump(s)"
done
