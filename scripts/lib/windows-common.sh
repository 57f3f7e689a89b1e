# shellcheck shell=bash disable=SC2034,SC2154  # shared with the scripts that source it
# The part scripts/windows-qt.sh and scripts/windows-imaging.sh share: what each builds
# once for Windows is kept outside the work tree, in a folder named by a key, reused
# while the key stays, and rebuilt when it changes. Sourced, not run.
#
# What goes into a key: its build file (scripts/lib/windows-*-build.sh, the versions,
# the Debian sources fetched, the patches, the configure options and build commands)
# and the toolchain file cmake/mingw-w64-x86_64.cmake, both without comment lines and
# blank lines. This file and the scripts that source it are not in it: tidying them,
# or how the sources are fetched, keeps the folders.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
cache="${XDG_CACHE_HOME:-$HOME/.cache}/readceph"
# The one toolchain file: Qt's build, the picture libraries' and the program's.
toolchain="$root/cmake/mingw-w64-x86_64.cmake"
jobs=$(nproc 2>/dev/null || echo 2)

# The key of a folder built by the commands in BUILD_FILE.
windows_key() {
    local file
    for file in "$1" "$toolchain"; do
        grep -vE '^[[:space:]]*(#|$)' "$file"
    done | sha256sum | cut -c1-12
}

# The options every script takes: --where prints the folder, --check says whether it is
# ready; without one, a ready folder is printed and the script ends there.
windows_ready() {
    case "${1:-}" in
    --where)
        echo "$prefix"
        exit 0
        ;;
    --check)
        if [ -f "$prefix/.complete" ]; then exit 0; fi
        exit 1
        ;;
    "") ;;
    *)
        echo "usage: $0 [--where | --check]" >&2
        exit 2
        ;;
    esac
    if [ -f "$prefix/.complete" ]; then
        echo "$prefix"
        exit 0
    fi
}

# An empty work folder and prefix; LEFTOVERS are work folders earlier keys left behind.
windows_start() {
    started=$(date +%s)
    rm -rf "$@" "${prefix:?}"
    mkdir -p "$work/src"
}

step() {
    echo "== $1 ($(($(date +%s) - started))s so far)"
}

# Downloads the Debian source packages PACKAGE... of SUITE into $work/src, through an
# apt configuration of our own: the system's source list is neither read nor changed.
# The Debian mirror the system's apt uses comes first, Debian's own address after it,
# for a mirror without source packages.
windows_sources() {
    local suite=$1 apt="$work/apt" mirror
    shift
    mkdir -p "$apt/lists/partial" "$apt/archives/partial" "$work/src"
    # shellcheck disable=SC2016  # apt fills in $(REPO_URI)
    mirror=$(apt-get indextargets --format '$(REPO_URI)' 2>/dev/null | grep -E '/debian/?$' |
        head -n1 || true)
    {
        if [ -n "$mirror" ]; then echo "deb-src ${mirror%/} $suite main"; fi
        echo "deb-src http://deb.debian.org/debian $suite main"
    } | awk '!seen[$0]++' >"$apt/src.list"
    local apt_opts=(-o "Dir::Etc::SourceList=$apt/src.list" -o "Dir::Etc::SourceParts=/dev/null"
                    -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache::Archives=$apt/archives"
                    -o "Dir::Cache::pkgcache=" -o "Dir::Cache::srcpkgcache=" -o "Debug::NoLocking=1")
    step "Debian's sources of $*"
    apt-get "${apt_opts[@]}" update >/dev/null
    (cd "$work/src" && apt-get "${apt_opts[@]}" source --download-only "$@")
}

# Marks the folder ready, and removes the work folder and the OLD folders that earlier
# keys built: they are of no use any more.
windows_finish() {
    local old
    touch "$prefix/.complete"
    rm -rf "$work"
    for old in "$@"; do
        if [ "$old" != "$prefix" ]; then rm -rf "$old"; fi
    done
}
