#!/bin/sh
# Runs a test program on the display that xvfb-run opened, with a window
# manager, without which no window can go fullscreen; the program waits
# until the manager is up.
command -v openbox >/dev/null || { echo "no openbox (apt-get install openbox)"; exit 1; }
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
"$@"
status=$?
kill "$wm" 2>/dev/null
wait "$wm" 2>/dev/null
exit $status
