#!/usr/bin/env bash
# Puts a stripped Ruby 3.1 runtime for 64-bit Windows into PREFIX, built from Debian's own
# source package of ruby3.1 so that it carries the same patches as the Linux Ruby, plus what a
# DLL needs to link against it with delay-loading. The first build on a machine takes minutes;
# it is cached, and later calls only copy.
# Usage: tools/windows/ruby-runtime.sh PREFIX
#   Needs the packages of tools/windows/install-packages.sh. Caches under
#   ${XDG_CACHE_HOME:-~/.cache}/korvex (the runtime, and a private deb-src index).
set -euo pipefail

if [ $# -ne 1 ] || [ -z "$1" ]; then
    sed -n '6,8p' "$0" >&2
    exit 2
fi
prefix=$1

host=x86_64-w64-mingw32
source_package=ruby3.1
# Bump when a step after configure changes what lands in the runtime, so caches are rebuilt.
recipe=1

cache=${XDG_CACHE_HOME:-$HOME/.cache}/korvex
marker=.korvex-ruby-runtime

baseruby=$(command -v ruby) || { echo "ruby-runtime: needs a host ruby (run install-packages.sh)" >&2; exit 1; }
# A cross build runs the host Ruby in place of the one being built: it must be the same series.
case $("$baseruby" -e 'print RUBY_VERSION') in
3.1.*) ;;
*) echo "ruby-runtime: $baseruby is not Ruby 3.1" >&2; exit 1 ;;
esac

# ZLIB_DIR stands for the private zlib folder of the build, so the key does not depend on where
# the build ran.
configure_args=(
    --host="$host" --target="$host" --prefix=/usr/local
    CC="$host-gcc-posix" CXX="$host-g++-posix"
    --with-baseruby="$baseruby"
    --enable-shared --disable-install-doc --disable-jit-support
    # Not wanted, or with no Windows libraries in Debian; test extensions only slow the build.
    "--with-out-ext=-test-/*,fiddle,openssl,readline,pty,syslog"
    # zlib linked into zlib.so rather than needing zlib1.dll beside it.
    --with-zlib-dir=ZLIB_DIR
    # -O2 and no debug information build faster and strip to the same runtime.
    optflags=-O2 debugflags=-g0
)

# Debian's RubyGems integration would otherwise have the host Ruby install gems into the build
# machine's /var/lib/gems; RUBYOPT and RUBYLIB of the caller must not reach it either.
export DEBIAN_DISABLE_RUBYGEMS_INTEGRATION=1
unset RUBYOPT RUBYLIB

log() { printf '[ruby-runtime %(%H:%M:%S)T] %s\n' -1 "$*" >&2; }

mkdir -p "$cache"
# One build at a time per cache; a second caller waits and then finds the runtime cached.
exec 9>"$cache/ruby-win64.lock"
flock 9

# A private apt configuration holding only deb-src entries for the suites of the machine's own
# Debian release: the machine's apt configuration is left alone, and its proxy settings
# (apt.conf.d) still apply.
aptdir=$cache/apt
apt_private() { APT_CONFIG=$aptdir/apt.conf "$@"; }

apt_updated=
setup_private_apt() {
    [ -z "$apt_updated" ] || return 0
    apt_updated=1
    mkdir -p "$aptdir/lists/partial" "$aptdir/cache/archives/partial" "$aptdir/sources.list.d"
    local codename=
    # shellcheck disable=SC1091
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    # shellcheck disable=SC2016 # apt's own placeholders
    apt-get indextargets --no-release-info --format '$(REPO_URI) $(RELEASE) $(COMPONENT)' \
        'Created-By: Packages' | sort -u |
        awk -v c="$codename" 'c == "" || $2 == c || index($2, c "-") == 1 { print "deb-src " $0 }' \
        >"$aptdir/sources.list.new"
    if ! [ -s "$aptdir/sources.list.new" ]; then
        echo "ruby-runtime: no Debian deb entries found in the apt sources" >&2
        exit 1
    fi
    mv "$aptdir/sources.list.new" "$aptdir/sources.list"
    cat >"$aptdir/apt.conf" <<EOF
Dir::Etc::SourceList "$aptdir/sources.list";
Dir::Etc::SourceParts "$aptdir/sources.list.d";
Dir::State::Lists "$aptdir/lists";
Dir::Cache "$aptdir/cache";
APT::Sandbox::User "$(id -un)";
EOF
    log "updating the private deb-src index"
    apt_private apt-get -q update >"$aptdir/update.log" 2>&1 || {
        cat "$aptdir/update.log" >&2
        exit 1
    }
}

# The source versions on offer, the installed Linux Ruby's own first (both runtimes then carry
# the same patches), then the newest first.
candidate_versions() {
    local installed all v
    installed=$(dpkg-query -W -f='${source:Version}' "$source_package" 2>/dev/null || true)
    all=$(apt_private apt-cache showsrc --only-source "$source_package" 2>/dev/null |
        sed -n 's/^Version: //p' | sort -u)
    if [ -n "$installed" ] && grep -qxF "$installed" <<<"$all"; then
        echo "$installed"
    fi
    # Newest first, in dpkg's order.
    local -a sorted=()
    while read -r v; do
        [ -n "$v" ] || continue
        local i=${#sorted[@]}
        while [ "$i" -gt 0 ] && dpkg --compare-versions "$v" gt "${sorted[$((i - 1))]}"; do
            sorted[i]=${sorted[$((i - 1))]}
            i=$((i - 1))
        done
        sorted[i]=$v
    done <<<"$all"
    for v in "${sorted[@]}"; do
        [ "$v" = "$installed" ] || echo "$v"
    done
}

cache_key() { # VERSION
    printf '%s\n' "$source_package=$1" "recipe $recipe" "${configure_args[@]}" | sha256sum | cut -c1-16
}

install_into_prefix() { # CACHED_RUNTIME
    local from=$1
    if [ -e "$prefix/$marker" ] && cmp -s "$from/$marker" "$prefix/$marker"; then
        log "$prefix already holds this runtime"
    else
        if [ -e "$prefix" ] && [ -n "$(ls -A "$prefix")" ] && ! [ -e "$prefix/$marker" ]; then
            echo "ruby-runtime: $prefix is not empty and holds no runtime of ours; not replacing it" >&2
            exit 1
        fi
        # Replacing an older runtime of ours: its files must not linger beside the new ones.
        rm -rf "$prefix"
        mkdir -p "$(dirname "$prefix")"
        local tmp
        tmp=$(mktemp -d "$prefix.XXXXXX")
        cp -a "$from/." "$tmp/"
        mv "$tmp" "$prefix"
    fi
    show_layout
}

show_layout() {
    local dll=("$prefix"/bin/*.dll) def=("$prefix"/lib/*.def)
    local platform=("$prefix"/include/ruby-3.1.0/*/ruby/config.h)
    echo "$prefix: $(sed -n 1p "$prefix/$marker"), $(du -sh "$prefix" | cut -f1)"
    echo "  bin/${dll[0]##*/}  $(du -h "${dll[0]}" | cut -f1), the runtime DLL (and bin/ruby.exe)"
    echo "  lib/ruby/3.1.0  $(du -sh "$prefix/lib/ruby/3.1.0" | cut -f1), the library with" \
        "$(find "$prefix/lib/ruby/3.1.0" -name '*.so' | wc -l) compiled extensions and encodings"
    echo "  lib/${def[0]##*/}  the functions it exports"
    echo "  include/ruby-3.1.0  headers; the platform's in ${platform[0]#"$prefix"/}"
}

build_runtime() { # VERSION DOWNLOADED_SOURCE WORK DESTINATION
    local version=$1 download=$2 work=$3 destination=$4 started=$SECONDS
    local buildlog=$work/build.log
    trap 'cp "$buildlog" "$cache/ruby-win64-failed.log"; tail -n 40 "$buildlog" >&2
          echo "ruby-runtime: the build failed; its log is $cache/ruby-win64-failed.log" >&2' ERR

    log "unpacking $source_package $version with Debian's patches"
    (cd "$work" && dpkg-source -x "$download"/*.dsc src) >>"$buildlog" 2>&1
    # Debian's patches change configure.ac.
    (cd "$work/src" && autoconf) >>"$buildlog" 2>&1

    # Only the static zlib, so the linker cannot pick the import library of zlib1.dll.
    mkdir -p "$work/zlib/include" "$work/zlib/lib"
    cp "/usr/$host/include/zlib.h" "/usr/$host/include/zconf.h" "$work/zlib/include/"
    cp "/usr/$host/lib/libz.a" "$work/zlib/lib/"

    local args=("${configure_args[@]/ZLIB_DIR/$work/zlib}")
    mkdir "$work/build"
    log "configuring"
    (cd "$work/build" && ../src/configure "${args[@]}") >>"$buildlog" 2>&1
    log "compiling on $(nproc) cores (10 to 25 minutes on 2)"
    make -C "$work/build" -j"$(nproc)" main >>"$buildlog" 2>&1
    log "installing"
    # Bundled and default gems are left out: the library is found without RubyGems' records.
    make -C "$work/build" install-nodoc DESTDIR="$work/stage" \
        INSTRUBY_OPTS="--exclude=bundled-gems --exclude=default-gems" >>"$buildlog" 2>&1

    local root=$work/stage/usr/local runtime=$work/runtime
    mkdir "$runtime" "$runtime/bin"
    cp -a "$root/bin/"*.dll "$root/bin/ruby.exe" "$runtime/bin/"
    cp -a "$root/lib" "$root/include" "$runtime/"
    rm -rf "$runtime/lib/ruby/gems"
    # 139 MB of debug information in the DLL otherwise; the DLL and extensions strip to 4 MB.
    find "$runtime" \( -name '*.dll' -o -name '*.exe' -o -name '*.so' \) \
        -exec "$host-strip" --strip-unneeded {} +

    # The runtime's export list, for the import library of those who link it (the build makes
    # a delay-loading one of the functions it uses). Data exports cannot be delay-loaded, so
    # they are dropped (reach them with GetProcAddress); .refptr.* are compiler artefacts,
    # VERSION a line dlltool rejects.
    local def name
    def=$(ls "$work/build/"*.def)
    name=$(basename "$def" .def)
    grep -v -e '^VERSION' -e '\.refptr\.' -e '[[:space:]]DATA[[:space:]]*$' "$def" \
        >"$runtime/lib/$name.def"

    {
        echo "$source_package $version for $host"
        echo "key $(basename "$destination")"
        printf '%s\n' "${configure_args[@]}"
    } >"$runtime/$marker"
    mv "$runtime" "$destination"
    trap - ERR
    log "built in $((SECONDS - started)) s"
}

# A cached runtime of any version on offer is taken without going to the network.
[ -f "$aptdir/apt.conf" ] || setup_private_apt
mapfile -t versions < <(candidate_versions)
for v in "${versions[@]}"; do
    cached=$cache/ruby-win64-$(cache_key "$v")
    if [ -f "$cached/$marker" ]; then
        log "using the cached $cached"
        install_into_prefix "$cached"
        exit 0
    fi
done

setup_private_apt
mapfile -t versions < <(candidate_versions)
if [ ${#versions[@]} -eq 0 ]; then
    echo "ruby-runtime: the mirror offers no source of $source_package" >&2
    exit 1
fi
mkdir -p "$cache/tmp"
work=$(mktemp -d "$cache/tmp/ruby-win64.XXXXXX")
trap 'rm -rf "$work"' EXIT
# Some versions' files are missing from the mirror (a security update's, at times): the first
# one that downloads is built.
for v in "${versions[@]}"; do
    rm -rf "$work/download"
    mkdir "$work/download"
    log "downloading the source of $source_package $v"
    if (cd "$work/download" && apt_private apt-get -q source --download-only "$source_package=$v") \
        >"$work/download.log" 2>&1; then
        destination=$cache/ruby-win64-$(cache_key "$v")
        build_runtime "$v" "$work/download" "$work" "$destination"
        install_into_prefix "$destination"
        exit 0
    fi
    log "$source_package $v: its source files are not on the mirror ($(grep -c '^E:' "$work/download.log") errors)"
done
echo "ruby-runtime: no source version of $source_package could be downloaded" >&2
exit 1
