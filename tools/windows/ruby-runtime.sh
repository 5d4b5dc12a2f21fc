#!/usr/bin/env bash
# Puts a stripped Ruby 3.1 runtime for Windows into PREFIX, built from Debian's own source
# package of ruby3.1 so that it carries the same patches as the Linux Ruby, plus those of
# ruby-patches/ (what a runtime inside an editor needs) and what a DLL needs to link against it
# with delay-loading. OpenSSL and libffi are cross-built from Debian's source packages of them
# and linked into openssl.so and fiddle.so; the gems bundled with Ruby are installed as `make
# install` installs them on Linux. The first build takes minutes; later calls only copy.
# Usage: tools/windows/ruby-runtime.sh [ARCH] PREFIX
#   ARCH: x86_64 (64-bit Windows, the default) or i686 (32-bit Windows).
#   Needs the packages of tools/windows/install-packages.sh. Caches under
#   ${XDG_CACHE_HOME:-~/.cache}/korvex (per architecture: OpenSSL, libffi and the runtime;
#   a private deb-src index).
set -Eeuo pipefail

usage() {
    sed -n '8,12p' "$0" >&2
    exit 2
}
case $# in
1) arch=x86_64 prefix=$1 ;;
2) arch=$1 prefix=$2 ;;
*) usage ;;
esac
[ -n "$prefix" ] || usage

# What differs between the architectures. "word" names the cache entries and the lock.
case $arch in
x86_64) host=x86_64-w64-mingw32 word=win64 openssl_target=mingw64 ;;
i686) host=i686-w64-mingw32 word=win32 openssl_target=mingw ;;
*) usage ;;
esac

# Bump when a step after configure changes what lands in a cache entry, so it is rebuilt.
recipe=2

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/korvex
marker=.korvex-ruby-runtime
library_marker=.korvex-library

baseruby=$(command -v ruby) || { echo "ruby-runtime: needs a host ruby (run install-packages.sh)" >&2; exit 1; }
# A cross build runs the host Ruby in place of the one being built: it must be the same series.
case $("$baseruby" -e 'print RUBY_VERSION') in
3.1.*) ;;
*) echo "ruby-runtime: $baseruby is not Ruby 3.1" >&2; exit 1 ;;
esac

# Each library: the source package, the binary package whose version is tried first, and the
# configure line (part of the cache key). provide_library reads them by name.
# shellcheck disable=SC2034
openssl_package=(openssl libssl3)
openssl_args=(
    "$openssl_target" --prefix=/usr/local --libdir=lib
    # Without engines, DSO support and provider modules OpenSSL loads no DLL at all.
    no-shared no-dso no-engine no-module no-tests
    CC="$host-gcc-posix" AR="$host-ar" RANLIB="$host-ranlib" RC="$host-windres"
)
# OpenSSL reads its configuration from OPENSSLDIR: a folder only administrators can write to
# (Configure takes a Windows path for a relative one, so it is given to make).
openssl_make_args=(
    "OPENSSLDIR=C:/Program Files/Common Files/SSL"
    "ENGINESDIR=C:/Program Files/Common Files/SSL/engines"
    "MODULESDIR=C:/Program Files/Common Files/SSL/modules"
)
# shellcheck disable=SC2034
libffi_package=(libffi libffi8)
libffi_args=(
    --host="$host" --prefix=/usr/local --disable-shared --enable-static --disable-docs
    --disable-multi-os-directory CC="$host-gcc-posix" CFLAGS=-O2
)

# ZLIB_DIR, OPENSSL_DIR, LIBFFI_DIR and STATIC_DIR stand for the build's own folders, so the
# key does not depend on where the build ran.
ruby_package=(ruby3.1 ruby3.1)
configure_args=(
    --host="$host" --target="$host" --prefix=/usr/local
    CC="$host-gcc-posix" CXX="$host-g++-posix"
    --with-baseruby="$baseruby"
    --enable-shared --disable-install-doc --disable-jit-support
    # Not wanted, or with no Windows library; test extensions only slow the build. readline.so
    # would need GNU readline: without it `require "readline"` gives Reline, which uses fiddle.
    "--with-out-ext=-test-/*,readline,pty,syslog"
    # zlib, OpenSSL and libffi linked into zlib.so, openssl.so and fiddle.so: no DLL of theirs
    # beside the runtime, which a same-named one on PATH could stand in for.
    --with-zlib-dir=ZLIB_DIR --with-openssl-dir=OPENSSL_DIR --with-libffi-dir=LIBFFI_DIR
    # libgcc linked in (32-bit DLLs otherwise import libgcc_s_dw2-1.dll); STATIC_DIR holds
    # static copies of the compiler's libraries that would otherwise be taken as DLLs (libssp
    # for openssl.so's stack protector). -static itself would also refuse the Ruby DLL's
    # import library.
    "LDFLAGS=-static-libgcc -LSTATIC_DIR"
    # -O2 and no debug information build faster and strip to the same runtime.
    optflags=-O2 debugflags=-g0
)

# The extensions of the C API specs are tests only: a folder with no sources stands for theirs.
make_args=(RUBYSPEC_CAPIEXT=spec/ruby/optional/capi/none)

# Debian's RubyGems integration would otherwise have the host Ruby install gems into the build
# machine's /var/lib/gems; RUBYOPT and RUBYLIB of the caller must not reach it either.
export DEBIAN_DISABLE_RUBYGEMS_INTEGRATION=1
unset RUBYOPT RUBYLIB
# The extensions' configure scripts ask pkg-config first, which would answer with the build
# machine's own libraries (OpenSSL, libffi): it finds none, and the folders given above count.
unset PKG_CONFIG_PATH PKG_CONFIG_SYSROOT_DIR
export PKG_CONFIG_LIBDIR=/nonexistent

# Processor seconds (user and system) of the finished child processes so far: with the wall
# time it tells how long a build takes on a machine that is not shared.
cpu_seconds() {
    # Fields 16 and 17 of the script's own stat line: its waited-for children's time in ticks.
    awk -v hz="$(getconf CLK_TCK)" '{ sub(/^.*\) /, ""); printf "%d", ($14 + $15) / hz }' /proc/$$/stat
}

log() { printf '[ruby-runtime %s %(%H:%M:%S)T] %s\n' "$arch" -1 "$*" >&2; }

mkdir -p "$cache"
# One build at a time per architecture and cache; a second caller waits and then finds the
# runtime cached.
exec 9>"$cache/ruby-$word.lock"
flock 9

# A private apt configuration holding only deb-src entries for the suites of the machine's own
# Debian release: the machine's apt configuration is left alone, and its proxy settings
# (apt.conf.d) still apply. Shared by both architectures: its own lock guards it.
aptdir=$cache/apt
apt_private() { APT_CONFIG=$aptdir/apt.conf "$@"; }
with_apt_lock() { flock "$cache/apt.lock" "$@"; }

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
        >"$aptdir/sources.list.new.$$"
    if ! [ -s "$aptdir/sources.list.new.$$" ]; then
        echo "ruby-runtime: no Debian deb entries found in the apt sources" >&2
        exit 1
    fi
    mv "$aptdir/sources.list.new.$$" "$aptdir/sources.list"
    cat >"$aptdir/apt.conf.new.$$" <<EOF
Dir::Etc::SourceList "$aptdir/sources.list";
Dir::Etc::SourceParts "$aptdir/sources.list.d";
Dir::State::Lists "$aptdir/lists";
Dir::Cache "$aptdir/cache";
APT::Sandbox::User "$(id -un)";
EOF
    mv "$aptdir/apt.conf.new.$$" "$aptdir/apt.conf"
    log "updating the private deb-src index"
    with_apt_lock env APT_CONFIG="$aptdir/apt.conf" apt-get -q update >"$aptdir/update.$$.log" 2>&1 || {
        cat "$aptdir/update.$$.log" >&2
        exit 1
    }
    rm -f "$aptdir/update.$$.log"
}

# The source versions of SOURCE_PACKAGE on offer, the one of the installed BINARY_PACKAGE first
# (the Windows build then carries the Linux build's patches), then the newest first.
candidate_versions() { # SOURCE_PACKAGE BINARY_PACKAGE
    local installed all v
    installed=$(dpkg-query -W -f='${source:Version}\n' "$2" 2>/dev/null | head -n1 || true)
    all=$(apt_private apt-cache showsrc --only-source "$1" 2>/dev/null |
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

key_of() { # SOURCE_PACKAGE VERSION CONFIGURE_ARGS...
    local package=$1 version=$2
    shift 2
    printf '%s\n' "$package=$version" "recipe $recipe" "$host" "$@" | sha256sum | cut -c1-16
}

# Downloads the first version of SOURCE_PACKAGE in VERSIONS whose files the mirror has into
# FOLDER; prints that version. Some versions' files are missing from the mirror (a security
# update's, at times).
download_source() { # SOURCE_PACKAGE FOLDER VERSIONS...
    local package=$1 folder=$2 v
    shift 2
    for v in "$@"; do
        rm -rf "$folder"
        mkdir -p "$folder"
        log "downloading the source of $package $v"
        if (cd "$folder" && with_apt_lock env APT_CONFIG="$aptdir/apt.conf" \
            apt-get -q source --download-only "$package=$v") >"$folder.log" 2>&1; then
            echo "$v"
            return 0
        fi
        log "$package $v: its source files are not on the mirror ($(grep -c '^E:' "$folder.log") errors)"
    done
    echo "ruby-runtime: no source version of $package could be downloaded" >&2
    return 1
}

unpack_source() { # DOWNLOAD_FOLDER DESTINATION (Debian's patches applied)
    (cd "$(dirname "$2")" && dpkg-source -x "$1"/*.dsc "$(basename "$2")") >>"$buildlog" 2>&1
}

# The licence texts of a library: Debian's copyright file (who holds what) and the upstream
# licence in full (Debian's file refers to the system's copy of common licences).
write_licence() { # SOURCE_FOLDER UPSTREAM_LICENCE DESTINATION
    {
        cat "$1/debian/copyright"
        printf '\n\n%s\n\n' "-------- $2 of the upstream source --------"
        cat "$1/$2"
    } >"$3"
}

build_openssl() { # VERSION DOWNLOAD WORK DESTINATION
    local version=$1 download=$2 work=$3 destination=$4
    unpack_source "$download" "$work/openssl"
    # Debian's patch that makes the 32-bit x86 assembly position-independent for ELF shared
    # libraries writes GOT relocations, which a Windows object file cannot hold.
    if [ -f "$work/openssl/debian/patches/pic.patch" ]; then
        (cd "$work/openssl" && patch -R -p1 <debian/patches/pic.patch) >>"$buildlog" 2>&1
    fi
    log "configuring OpenSSL $version"
    (cd "$work/openssl" && ./Configure "${openssl_args[@]}") >>"$buildlog" 2>&1
    log "compiling OpenSSL's libraries"
    nice make -C "$work/openssl" -j"$(nproc)" "${openssl_make_args[@]}" build_libs >>"$buildlog" 2>&1
    make -C "$work/openssl" "${openssl_make_args[@]}" install_dev DESTDIR="$work/openssl-stage" \
        >>"$buildlog" 2>&1
    mkdir -p "$work/result/lib"
    cp -a "$work/openssl-stage/usr/local/include" "$work/result/"
    cp -a "$work/openssl-stage/usr/local/lib/"*.a "$work/result/lib/"
    write_licence "$work/openssl" LICENSE.txt "$work/result/licence.txt"
}

build_libffi() { # VERSION DOWNLOAD WORK DESTINATION
    local version=$1 download=$2 work=$3 destination=$4
    unpack_source "$download" "$work/libffi"
    log "configuring libffi $version"
    mkdir "$work/libffi-build"
    (cd "$work/libffi-build" && ../libffi/configure "${libffi_args[@]}") >>"$buildlog" 2>&1
    log "compiling libffi"
    nice make -C "$work/libffi-build" -j"$(nproc)" >>"$buildlog" 2>&1
    make -C "$work/libffi-build" install DESTDIR="$work/libffi-stage" >>"$buildlog" 2>&1
    mkdir -p "$work/result/lib"
    cp -a "$work/libffi-stage/usr/local/include" "$work/result/"
    cp -a "$work/libffi-stage/usr/local/lib/"*.a "$work/result/lib/"
    write_licence "$work/libffi" LICENSE "$work/result/licence.txt"
}

# Finds LIBRARY (openssl or libffi) for this architecture in the cache, or builds it there;
# sets library_dir to its folder (include/, lib/ with static libraries only, licence.txt).
library_dir=
provide_library() { # LIBRARY
    local name=$1
    local -n package=${name}_package configure=${name}_args
    local args=("${configure[@]}")
    [ "$name" != openssl ] || args+=("${openssl_make_args[@]}")
    local versions v entry
    [ -f "$aptdir/apt.conf" ] || setup_private_apt
    mapfile -t versions < <(candidate_versions "${package[@]}")
    for v in "${versions[@]}"; do
        entry=$cache/$name-$word-$(key_of "${package[0]}" "$v" "${args[@]}")
        if [ -f "$entry/$library_marker" ]; then
            log "using the cached $entry"
            library_dir=$entry
            return 0
        fi
    done
    setup_private_apt
    mapfile -t versions < <(candidate_versions "${package[@]}")
    mkdir -p "$cache/tmp"
    local work started=$SECONDS cpu_started
    cpu_started=$(cpu_seconds)
    work=$(mktemp -d "$cache/tmp/$name-$word.XXXXXX")
    # shellcheck disable=SC2064 # the folder is fixed now
    trap "rm -rf '$work'" EXIT
    buildlog=$work/build.log
    v=$(download_source "${package[0]}" "$work/download" "${versions[@]}")
    entry=$cache/$name-$word-$(key_of "${package[0]}" "$v" "${args[@]}")
    # shellcheck disable=SC2064 # the names are fixed now
    trap "cp '$buildlog' '$cache/$name-$word-failed.log'; tail -n 40 '$buildlog' >&2
          echo 'ruby-runtime: the build of $name failed; its log is $cache/$name-$word-failed.log' >&2" ERR
    "build_$name" "$v" "$work/download" "$work" "$entry"
    trap - ERR
    {
        echo "${package[0]} $v for $host"
        echo "key $(basename "$entry")"
        echo "built in $((SECONDS - started)) s on $(nproc) cores," \
            "$(($(cpu_seconds) - cpu_started)) s of processor time"
        printf '%s\n' "${args[@]}"
    } >"$work/result/$library_marker"
    rm -rf "$entry"
    mv "$work/result" "$entry"
    rm -rf "$work"
    trap - EXIT
    log "$name built in $((SECONDS - started)) s, $(($(cpu_seconds) - cpu_started)) s of processor time"
    library_dir=$entry
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
    echo "  lib/ruby/gems  $(du -sh "$prefix/lib/ruby/gems" | cut -f1), the default and bundled gems"
    echo "  lib/${def[0]##*/}  the functions it exports"
    echo "  include/ruby-3.1.0  headers; the platform's in ${platform[0]#"$prefix"/}"
    echo "  licences/  $(cd "$prefix/licences" && echo *), of the libraries linked into extensions"
}

# The bundled gems are installed here rather than by Ruby's installer: when cross-compiling,
# Ruby 3.1's installer configures their extensions against the build folder's rbconfig.rb,
# whose header and library folders are those of the final install (/usr/local), not the
# staged one. Here the build machine's Ruby runs with the staged runtime's rbconfig.rb, as
# the runtime's own gem command would.
install_bundled_gems() { # WORK STAGED_ROOT
    local work=$1 root=$2
    local rbconfig=("$root"/lib/ruby/3.1.0/*/rbconfig.rb)
    mkdir "$work/cross"
    printf 'load %s\n' "$("$baseruby" -e 'p ARGV[0]' "${rbconfig[0]}")" >"$work/cross/rbconfig.rb"
    log "installing the bundled gems (the extensions of debug and rbs built now)"
    nice "$baseruby" -I"$work/cross" -I"$work/src/lib" \
        "$here/install-bundled-gems.rb" \
        "$work/src" "$(printf '%q -I%q' "$baseruby" "$work/cross")" "$work/gems" >>"$buildlog" 2>&1
    # Their sources, objects and build logs (which name this machine's folders): the built
    # extensions are in gems/3.1.0/extensions.
    rm -rf "$root"/lib/ruby/gems/*/gems/*/ext
    find "$root/lib/ruby/gems" \( -name gem_make.out -o -name mkmf.log \) -delete
}

build_runtime() { # VERSION DOWNLOADED_SOURCE WORK DESTINATION
    local version=$1 download=$2 work=$3 destination=$4 started=$SECONDS cpu_started
    cpu_started=$(cpu_seconds)
    buildlog=$work/build.log
    trap 'cp "$buildlog" "$cache/ruby-$word-failed.log"; tail -n 40 "$buildlog" >&2
          echo "ruby-runtime: the build failed; its log is $cache/ruby-$word-failed.log" >&2' ERR

    log "unpacking $source_package $version with Debian's patches"
    unpack_source "$download" "$work/src"
    local patch
    for patch in "$here"/ruby-patches/*.patch; do
        log "applying $(basename "$patch")"
        (cd "$work/src" && patch -p1 <"$patch") >>"$buildlog" 2>&1
    done
    # Debian's patches change configure.ac.
    (cd "$work/src" && autoconf) >>"$buildlog" 2>&1

    # Only the static zlib, so the linker cannot pick the import library of zlib1.dll.
    mkdir -p "$work/zlib/include" "$work/zlib/lib"
    cp "/usr/$host/include/zlib.h" "/usr/$host/include/zconf.h" "$work/zlib/include/"
    cp "/usr/$host/lib/libz.a" "$work/zlib/lib/"

    mkdir "$work/static"
    cp "$("$host-gcc-posix" -print-file-name=libssp.a)" "$work/static/"

    local args=("${configure_args[@]/ZLIB_DIR/$work/zlib}")
    args=("${args[@]/OPENSSL_DIR/$openssl_dir}")
    args=("${args[@]/LIBFFI_DIR/$libffi_dir}")
    args=("${args[@]/STATIC_DIR/$work/static}")
    mkdir "$work/build"
    log "configuring"
    (cd "$work/build" && ../src/configure "${args[@]}") >>"$buildlog" 2>&1
    log "compiling on $(nproc) cores (10 to 25 minutes on 2)"
    nice make -C "$work/build" -j"$(nproc)" "${make_args[@]}" main >>"$buildlog" 2>&1
    log "installing, with the default gems"
    nice make -C "$work/build" "${make_args[@]}" install-nodoc DESTDIR="$work/stage" \
        INSTRUBY_OPTS=--exclude=bundled-gems >>"$buildlog" 2>&1
    local root=$work/stage/usr/local runtime=$work/runtime
    install_bundled_gems "$work" "$root"

    mkdir "$runtime" "$runtime/bin" "$runtime/licences"
    cp -a "$root/bin/"*.dll "$root/bin/ruby.exe" "$runtime/bin/"
    cp -a "$root/lib" "$root/include" "$runtime/"
    # 139 MB of debug information in the DLL otherwise; the DLL and extensions strip to 4 MB.
    find "$runtime" \( -name '*.dll' -o -name '*.exe' -o -name '*.so' \) \
        -exec "$host-strip" --strip-unneeded {} +
    cp "$openssl_dir/licence.txt" "$runtime/licences/openssl.txt"
    cp "$libffi_dir/licence.txt" "$runtime/licences/libffi.txt"

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
        echo "built in $((SECONDS - started)) s on $(nproc) cores," \
            "$(($(cpu_seconds) - cpu_started)) s of processor time"
        echo "with $(basename "$openssl_dir") $(basename "$libffi_dir")"
        printf '%s\n' "${configure_args[@]}"
    } >"$runtime/$marker"
    mv "$runtime" "$destination"
    trap - ERR
    log "built in $((SECONDS - started)) s, $(($(cpu_seconds) - cpu_started)) s of processor time"
}

source_package=${ruby_package[0]}
# Our own patches of the runtime (ruby-patches/), on top of Debian's, are part of the key.
ruby_key() { # VERSION
    key_of "$source_package" "$1" "${configure_args[@]}" "${make_args[@]}" \
        "$(basename "$openssl_dir")" "$(basename "$libffi_dir")" \
        "$(cat "$here"/ruby-patches/*.patch | sha256sum | cut -c1-16)"
}

# The libraries first (each taken from the cache when there), then the runtime built on them.
provide_library openssl
openssl_dir=$library_dir
provide_library libffi
libffi_dir=$library_dir

# A cached runtime of any version on offer is taken without going to the network.
mapfile -t versions < <(candidate_versions "${ruby_package[@]}")
for v in "${versions[@]}"; do
    cached=$cache/ruby-$word-$(ruby_key "$v")
    if [ -f "$cached/$marker" ]; then
        log "using the cached $cached"
        install_into_prefix "$cached"
        exit 0
    fi
done

setup_private_apt
mapfile -t versions < <(candidate_versions "${ruby_package[@]}")
if [ ${#versions[@]} -eq 0 ]; then
    echo "ruby-runtime: the mirror offers no source of $source_package" >&2
    exit 1
fi
mkdir -p "$cache/tmp"
work=$(mktemp -d "$cache/tmp/ruby-$word.XXXXXX")
trap 'rm -rf "$work"' EXIT
buildlog=$work/build.log
v=$(download_source "$source_package" "$work/download" "${versions[@]}")
destination=$cache/ruby-$word-$(ruby_key "$v")
build_runtime "$v" "$work/download" "$work" "$destination"
install_into_prefix "$destination"
