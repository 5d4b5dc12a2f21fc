#!/bin/sh
# Screenshots of Korvex in plinthar under Xvfb: the editor with Korvex's toolbar button and
# menu entry, the Korvex window over the editor, and a contact sheet of the toolbar bitmaps.
# Usage: korvex.sh BUILD_DIR OUTPUT_DIR
# Needs xvfb-run, ImageMagick's import and xdotool.
set -eu

# Everything below runs once, inside one X server.
if [ -z "${KORVEX_IN_XVFB:-}" ]; then
    KORVEX_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x700x24" "$0" "$@"
fi

build=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)

# The editor and its Plug-ins menu, with Korvex as the only plug-in.
"$here/plinthar.sh" "$build" "$out" "$build/bin/plugins/Korvex.so"
mv "$out/plinthar-editor.png" "$out/korvex-editor.png"
mv "$out/plinthar-plugin-menu.png" "$out/korvex-menu.png"

work=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$work/home/Documents/Korvex" "$work/plugins"
cp "$here/../../samples/"*.rb "$work/home/Documents/Korvex/"
cp "$here/../../samples/document-utf8.txt" "$work/document.txt"

HOME="$work/home" QT_QPA_PLATFORM=xcb "$build/bin/plinthar" --plugin-folder "$work/plugins" \
    --plugin "$build/bin/plugins/Korvex.so" "$work/document.txt" &
pid=$!
window=""
for _ in $(seq 1 50); do
    window=$(xdotool search --name "document.txt - Plinthar" 2>/dev/null | head -n 1) || true
    [ -n "$window" ] && break
    sleep 0.2
done
[ -n "$window" ] || { echo "plinthar did not open" >&2; exit 1; }
xdotool windowmove "$window" 0 0 windowsize "$window" 700 460
sleep 1
# Korvex's command from the Plug-ins menu (its first entry).
xdotool mousemove 106 8 click 1
sleep 0.7
xdotool mousemove 140 34 click 1
sleep 1.5
korvex=$(xdotool search --name "^Korvex$" 2>/dev/null | head -n 1) || true
[ -n "$korvex" ] || { echo "the Korvex window did not open" >&2; exit 1; }
# Pick the first script, so the editor shows one.
xdotool mousemove --window "$korvex" 150 35 click 1
sleep 0.5
xdotool key Down Return
sleep 0.7
import -window root -crop 720x480+0+0 "$out/korvex-window.png"

"$build/bin/drawbitmaps" "$work/bitmaps" --contact-sheet "$out/korvex-bitmaps.png" >/dev/null
echo "wrote $out/korvex-editor.png, korvex-menu.png, korvex-window.png, korvex-bitmaps.png"
