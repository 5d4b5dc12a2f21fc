#!/bin/sh
# Takes screenshots of plinthar under Xvfb with a plug-in loaded: the editor with the
# plug-in's toolbar button, and the Plug-ins menu open on the plug-in's entry.
# Usage: plinthar.sh BUILD_DIR OUTPUT_DIR [PLUGIN]
#   PLUGIN defaults to the tests' plug-in (BUILD_DIR/tests/host/testplugins/plinthar_testplugin.so).
# Needs xvfb-run, ImageMagick's import and xdotool.
set -eu

build=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
plugin=${3:-$build/tests/host/testplugins/plinthar_testplugin.so}

if [ -z "${PLINTHAR_IN_XVFB:-}" ]; then
    PLINTHAR_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x700x24" "$0" "$@"
fi

work=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
printf 'Plinthar hosts plug-ins.\nSelect some text and press the toolbar button.\n' > "$work/sample.txt"

# An empty plug-in folder, so only the given plug-in shows.
mkdir "$work/plugins"
QT_QPA_PLATFORM=xcb "$build/bin/plinthar" --plugin-folder "$work/plugins" --plugin "$plugin" \
    "$work/sample.txt" &
pid=$!

window=""
for _ in $(seq 1 50); do
    window=$(xdotool search --name "sample.txt - Plinthar" 2>/dev/null | head -n 1) || true
    [ -n "$window" ] && break
    sleep 0.2
done
[ -n "$window" ] || { echo "plinthar did not open" >&2; exit 1; }
xdotool windowmove "$window" 0 0 windowsize "$window" 640 400
sleep 1
# Select all the text, so the plug-in enables its command.
xdotool mousemove 300 200 click 1
sleep 0.3
xdotool key ctrl+a
sleep 0.5
import -window root -crop 660x440+0+0 "$out/plinthar-editor.png"

# Open the Plug-ins menu and hover the plug-in's entry, so its status text shows.
xdotool mousemove 106 8 click 1
sleep 0.7
xdotool mousemove 140 34
sleep 0.7
import -window root -crop 660x440+0+0 "$out/plinthar-plugin-menu.png"
echo "wrote $out/plinthar-editor.png and $out/plinthar-plugin-menu.png"
