#!/bin/sh
# Screenshots of Korvex.dll in plinthar.exe under Wine and Xvfb: the editor with Korvex's
# toolbar bitmap, the Plug-ins menu on Korvex's entry (its status text below), and the Korvex
# window over the editor.
# Usage: korvex-windows.sh BUILD_WINDOWS_DIR OUTPUT_DIR
# Needs xvfb-run, ImageMagick's import, xdotool and Wine (tools/windows/install-packages.sh).
set -eu

if [ -z "${KORVEX_IN_XVFB:-}" ]; then
    KORVEX_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x700x24" "$0" "$@"
fi

build=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
wine_sh=$here/../../tools/windows/wine.sh
# A prefix of its own: the tests' prefixes use Wine's null graphics driver.
export KORVEX_WINEPREFIX="$build/screenshots/wineprefix"

work=$(mktemp -d)
trap 'WINEPREFIX="$KORVEX_WINEPREFIX" wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$work/documents/Korvex"
cp "$here/../../samples/"*.rb "$work/documents/Korvex/"
printf 'Korvex filters this document through a Ruby script.\r\nSelect some lines, or none.\r\n' \
    >"$work/document.txt"
"$wine_sh" reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders' \
    /v Personal /t REG_SZ /d "Z:$work/documents" /f >/dev/null

"$wine_sh" "$build/bin/plinthar.exe" "Z:$work/document.txt" >/dev/null 2>&1 &
window=""
for _ in $(seq 1 100); do
    window=$(xdotool search --name "document.txt - Plinthar" 2>/dev/null | head -n 1) || true
    [ -n "$window" ] && break
    sleep 0.2
done
[ -n "$window" ] || { echo "plinthar.exe did not open" >&2; exit 1; }
xdotool windowmove "$window" 0 0 windowsize "$window" 700 460
sleep 2
import -window root -crop 720x480+0+0 "$out/korvex-windows-editor.png"

# The Plug-ins menu from the keyboard: its first entry, Korvex's, is highlighted.
xdotool windowactivate --sync "$window" 2>/dev/null || true
xdotool key alt+p
sleep 1
xdotool key Down Up
sleep 1
import -window root -crop 720x480+0+0 "$out/korvex-windows-menu.png"

xdotool key Return
korvex=""
for _ in $(seq 1 50); do
    korvex=$(xdotool search --name "^Korvex$" 2>/dev/null | head -n 1) || true
    [ -n "$korvex" ] && break
    sleep 0.2
done
[ -n "$korvex" ] || { echo "the Korvex window did not open" >&2; exit 1; }
sleep 2
# Pick the first script from the list, so the editor shows one.
eval "$(xdotool getwindowgeometry --shell "$korvex")"
xdotool mousemove $((X + 180)) $((Y + 35)) click 1
sleep 0.7
xdotool key Down Return
sleep 1
import -window root -crop 720x480+0+0 "$out/korvex-windows-window.png"
echo "wrote $out/korvex-windows-editor.png, korvex-windows-menu.png, korvex-windows-window.png"
