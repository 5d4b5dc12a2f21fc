#!/usr/bin/env bash
# The package as a Windows user installs it: korvex-win64.zip unpacked into the empty plug-in
# folder beside a copy of plinthar.exe, then a sample script over a document in batch mode,
# with nothing of the build on PATH.
# Usage: package_test.sh ZIP PLINTHAR_EXE WORK_FOLDER
set -euo pipefail
zip=$1 exe=$2 work=$3
repository=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
wine_sh=$repository/tools/windows/wine.sh

rm -rf "$work/editor" "$work/documents"
mkdir -p "$work/editor/plugins" "$work/documents"
cp "$exe" "$work/editor/"
(cd "$work/editor/plugins" && unzip -q "$zip")
printf 'apple\nbanana\n' >"$work/document.txt"

# Only the system's programs, and a Wine prefix whose documents folder is ours.
clean=(env -i "HOME=$HOME" PATH=/usr/bin:/bin LANG=C.UTF-8 LC_ALL=C.UTF-8
       "KORVEX_WINEPREFIX=$work/wineprefix" KORVEX_WINE_TIMEOUT=240)
"${clean[@]}" "$wine_sh" reg add \
    'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders' \
    /v Personal /t REG_SZ /d "Z:$work/documents" /f >/dev/null

status=0
out=$("${clean[@]}" "$wine_sh" "$work/editor/plinthar.exe" --batch \
    --script-file "Z:$work/editor/plugins/Korvex/samples/upcase.rb" "Z:$work/document.txt") ||
    status=$?
if [ "$status" -ne 0 ] || [ "$out" != $'APPLE\nBANANA' ]; then
    echo "plinthar.exe from the package: status $status, document:" >&2
    printf '%s\n' "$out" >&2
    exit 1
fi
for f in Korvex.dll README.txt Korvex/ruby/lib/ruby/3.1.0/json.rb Korvex/licences/ruby.txt; do
    [ -e "$work/editor/plugins/$f" ] || { echo "the package lacks $f" >&2; exit 1; }
done
echo "the package filters the document"
