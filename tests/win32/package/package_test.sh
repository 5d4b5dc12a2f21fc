#!/usr/bin/env bash
# The package as a Windows user installs it: the zip unpacked into the empty plug-in folder
# beside a copy of plinthar.exe, with nothing of the build on PATH, in a Wine prefix of its own.
# Through plinthar.exe in batch mode, under the Western (1252) and the Japanese (932) code
# pages: the samples over their documents, and scripts that use what the package ships
# (OpenSSL, fiddle, readline, the bundled gems, child processes, script files in UTF-8 and in
# Shift-JIS), each giving what the package's own ruby.exe gives with the same script and lines.
# HTTPS against a local server with a certificate of the test's own making; library decoys
# beside plinthar.exe and on PATH that must not be loaded; and, with OTHER_ZIP (the package of
# the other architecture), its Korvex.dll reported as not loadable while this one works.
# Usage: package_test.sh ZIP PLINTHAR_EXE WORK_FOLDER DECOY_DLL SAMPLES [OTHER_ZIP]
set -euo pipefail
zip=$1 exe=$2 work=$3 decoy=$4 samples=$5 other=${6:-}
repository=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
wine_sh=$repository/tools/windows/wine.sh
failures=0
fail() {
    echo "FAILED: $*" >&2
    failures=$((failures + 1))
}

rm -rf "$work/editor" "$work/documents" "$work/rows" "$work/tls" "$work/decoys"
mkdir -p "$work/editor/plugins" "$work/documents/Korvex" "$work/rows" "$work/tls" "$work/decoys"
cp "$exe" "$work/editor/"
(cd "$work/editor/plugins" && unzip -q "$zip")
for f in Korvex.dll README.txt Korvex/ruby/lib/ruby/3.1.0/json.rb Korvex/ruby/ssl/cert.pem \
    Korvex/licences/ruby.txt Korvex/licences/openssl.txt Korvex/licences/libffi.txt \
    Korvex/licences/ca-certificates.txt Korvex/samples/document.txt; do
    [ -e "$work/editor/plugins/$f" ] || fail "the package lacks $f"
done
ruby_exe=$work/editor/plugins/Korvex/ruby/bin/ruby.exe

# Libraries of the names a build with shared OpenSSL, libffi or zlib would load, and the
# runtime's own, that refuse to be loaded: beside plinthar.exe, in the current folder and in a
# folder on PATH. The package needs none of them.
decoys=(libcrypto-3-x64.dll libssl-3-x64.dll libcrypto-3.dll libssl-3.dll libffi-8.dll
        libffi-7.dll zlib1.dll libyaml-0-2.dll)
decoys+=("$(cd "$work/editor/plugins/Korvex/ruby/bin" && ls ./*ruby310.dll | sed 's|^\./||')")
for name in "${decoys[@]}"; do
    cp "$decoy" "$work/editor/$name"
    cp "$decoy" "$work/decoys/$name"
done

# The Japanese locale, for code page 932, made here: the machine need not have it.
mkdir -p "$work/locale"
[ -d "$work/locale/ja_JP.UTF-8" ] ||
    localedef -i ja_JP -f UTF-8 "$work/locale/ja_JP.UTF-8" >/dev/null 2>&1 ||
    { echo "cannot make the ja_JP.UTF-8 locale (package locales)" >&2; exit 1; }

# Only the system's programs, a Wine prefix whose documents folder is ours, and the decoys'
# folder on Windows' PATH (once the prefix is made: Wine cannot make one with it there).
wine_path=
clean() { # LOCALE COMMAND...
    local locale=$1
    shift
    env -i "HOME=$HOME" PATH=/usr/bin:/bin "LANG=$locale" "LC_ALL=$locale" \
        "LOCPATH=$work/locale" ${wine_path:+"WINEPATH=$wine_path"} \
        "KORVEX_WINEPREFIX=$work/wineprefix" KORVEX_WINE_TIMEOUT=240 "$@"
}
clean C.UTF-8 "$wine_sh" reg add \
    'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders' \
    /v Personal /t REG_SZ /d "Z:$work/documents" /f >/dev/null
wine_path=Z:$work/decoys

# plinthar.exe filters DOCUMENT through the script NAME of Documents\Korvex, as a file (or,
# with --script-file, through a script typed in); prints the document.
plinthar() { # LOCALE DOCUMENT ARGS...
    local locale=$1 document=$2
    shift 2
    (cd "$work/editor" && clean "$locale" "$wine_sh" ./plinthar.exe --batch "$@" "Z:$document")
}

# Each row: a script file and the lines of its document.
row() { # NAME SCRIPT_BYTES LINES...
    local name=$1 script=$2
    shift 2
    printf '%b' "$script" >"$work/documents/Korvex/$name.rb"
    : >"$work/rows/$name.txt"
    local line
    for line in "$@"; do printf '%s\n' "$line" >>"$work/rows/$name.txt"; done
}
# What the package ships beyond the standard library, which does not depend on the code page.
row libraries 'require "openssl"\nputs OpenSSL::Digest::SHA256.hexdigest("abc")\nrequire "fiddle"\nid = Fiddle::Function.new(Fiddle.dlopen("kernel32")["GetCurrentProcessId"], [], Fiddle::TYPE_INT)\nputs id.call == Process.pid\nrequire "readline"\nputs Readline.name, Readline.respond_to?(:readline)\n%w[rexml/document rss matrix prime net/ftp net/imap net/pop net/smtp minitest test/unit\n   power_assert rake debug rbs typeprof].each { |name| require name }\nTest::Unit::AutoRunner.need_auto_run = false\nputs Prime.first(5).inspect, Matrix[[1, 2], [3, 4]].determinant\n'
row rexml 'require "rexml/document"\nputs REXML::Document.new(ARGV.join("\\n")).elements["a/b"].text\n' '<a>' '<b>hi</b>' '</a>'
row kill_child 'pid = spawn(RbConfig.ruby, "-e", "sleep 100")\nProcess.kill(:KILL, pid)\nputs Process.wait(pid) == pid\n'
# Japanese literals in UTF-8, without and with a magic comment, after a byte-order mark; and in
# Shift-JIS with its magic comment: compared under both code pages.
codings=(utf8 utf8_comment utf8_bom shift_jis)
utf8_text='\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e'
row utf8 "s = \"$utf8_text\"\\np s.encoding, s.bytesize, s.length\\nputs s.reverse\\n"
row utf8_comment "# -*- coding: utf-8 -*-\\ns = \"$utf8_text\"\\np __ENCODING__, s.length\\n"
row utf8_bom "\\xef\\xbb\\xbfp __ENCODING__, \"$utf8_text\".length\\n"
row shift_jis '# coding: shift_jis\ns = "\x93\xfa\x96\x7b\x8c\xea"\np s.encoding, s.bytesize, s.length\n'
# HTTPS to a local server whose certificate a CA of this test's own signed: verified with that
# CA, refused without it (the shipped authorities do not know it).
row https 'require "net/http"\nport, ca = ARGV\n[ca, nil].each do |file|\n  http = Net::HTTP.new("127.0.0.1", port.to_i)\n  http.use_ssl = true\n  http.ca_file = file if file\n  puts http.get("/").body\nrescue OpenSSL::SSL::SSLError => e\n  puts e.class\nend\n'

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Korvex test authority" \
    -keyout "$work/tls/ca.key" -out "$work/tls/ca.pem" 2>/dev/null
openssl req -newkey rsa:2048 -nodes -subj "/CN=127.0.0.1" \
    -keyout "$work/tls/server.key" -out "$work/tls/server.csr" 2>/dev/null
printf 'subjectAltName=IP:127.0.0.1\n' >"$work/tls/san.ext"
openssl x509 -req -days 2 -in "$work/tls/server.csr" -CA "$work/tls/ca.pem" \
    -CAkey "$work/tls/ca.key" -CAcreateserial -extfile "$work/tls/san.ext" \
    -out "$work/tls/server.pem" 2>/dev/null
ruby -rsocket -ropenssl -e '
    context = OpenSSL::SSL::SSLContext.new
    context.cert = OpenSSL::X509::Certificate.new(File.read(ARGV[0]))
    context.key = OpenSSL::PKey.read(File.read(ARGV[1]))
    server = OpenSSL::SSL::SSLServer.new(TCPServer.new("127.0.0.1", 0), context)
    File.write(ARGV[2], server.to_io.addr[1].to_s)
    loop do
      client = server.accept
      nil until ["\r\n", nil].include?(client.gets)
      client.write("HTTP/1.1 200 OK\r\nContent-Length: 5\r\nConnection: close\r\n\r\nhello")
      client.close
    rescue OpenSSL::SSL::SSLError, SystemCallError
      nil
    end' "$work/tls/server.pem" "$work/tls/server.key" "$work/tls/port" &
server=$!
trap 'kill $server 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -s "$work/tls/port" ] && break; sleep 0.1; done
[ -s "$work/tls/port" ] || { echo "the HTTPS server did not start" >&2; exit 1; }
printf '%s\nZ:%s\n' "$(cat "$work/tls/port")" "$work/tls/ca.pem" >"$work/rows/https.txt"

for locale in C.UTF-8 ja_JP.UTF-8; do
    # The samples, right on every code page: the ASCII document and upcase.rb, leaving no byte
    # but the ones the script changes; and on the Western one, the UTF-8 document and
    # upcase_utf8.rb (an editor of code page 932 cannot hold that document's bytes).
    pairs=("upcase.rb document.txt")
    [ "$locale" != C.UTF-8 ] || pairs+=("upcase_utf8.rb document-utf8.txt")
    for pair in "${pairs[@]}"; do
        read -r script document <<<"$pair"
        cp "$samples/$script" "$work/documents/Korvex/"
        mapfile -t lines <"$samples/$document"
        expected=$(ruby "$samples/$script" "${lines[@]}")
        got=$(plinthar "$locale" "$samples/$document" --script "$script") ||
            fail "$script over $document under $locale: status $?"
        [ "$got" = "$expected" ] || fail "$script over $document under $locale: $got"
    done
    # Each row through plinthar.exe, as ruby.exe runs it; what does not depend on the code page
    # once.
    names=("${codings[@]}")
    [ "$locale" != C.UTF-8 ] || names+=(libraries rexml kill_child https)
    for name in "${names[@]}"; do
        mapfile -t lines <"$work/rows/$name.txt"
        expected=$(cd "$work/documents/Korvex" &&
            clean "$locale" "$wine_sh" "$ruby_exe" "$name.rb" "${lines[@]}" 2>&1 | tr -d '\r') ||
            true
        got=$(plinthar "$locale" "$work/rows/$name.txt" --script "$name.rb" | tr -d '\r') ||
            fail "$name under $locale: status $?"
        [ "$got" = "$expected" ] ||
            fail "$name under $locale: plinthar.exe gave [$got], ruby.exe [$expected]"
    done
done

# A selection of the document, in batch mode.
printf 'apple\nbanana\n' >"$work/document.txt"
got=$(plinthar C.UTF-8 "$work/document.txt" --selection 0 6 --script upcase.rb) ||
    fail "a selection: status $?"
[ "$got" = $'APPLE\nbanana' ] || fail "a selection: $got"

# The other architecture's Korvex.dll beside this one: reported, and this one still works.
if [ -n "$other" ]; then
    mkdir -p "$work/other"
    (cd "$work/other" && rm -rf ./* && unzip -q "$other" Korvex.dll)
    cp "$work/other/Korvex.dll" "$work/editor/plugins/KorvexOtherArchitecture.dll"
    status=0
    got=$(plinthar C.UTF-8 "$work/document.txt" --script upcase.rb 2>"$work/other/stderr") ||
        status=$?
    [ "$status" -eq 0 ] && [ "$got" = $'APPLE\nBANANA' ] ||
        fail "with the other architecture's plug-in beside: status $status, $got"
    grep -q 'KorvexOtherArchitecture.dll": it is built for [0-9]*-bit Windows, and this Plinthar is a [0-9]*-bit program' \
        "$work/other/stderr" || fail "the other architecture's plug-in: $(cat "$work/other/stderr")"
    rm "$work/editor/plugins/KorvexOtherArchitecture.dll"
fi

[ "$failures" -eq 0 ] || exit 1
echo "the package works on both code pages"
