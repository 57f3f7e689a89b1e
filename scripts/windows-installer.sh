#!/usr/bin/env bash
# Builds the Windows installer readceph-VERSION-setup.exe with NSIS
# (packaging/windows/readceph.nsi) from the staging folder that
# `cmake --install build/windows --prefix STAGE` fills, into OUTDIR, and prints its
# path last. Installs NSIS when missing; stops, naming them, when files the program
# needs are missing from STAGE. scripts/windows-install-test.sh tries the result
# under Wine.
#
#   scripts/windows-installer.sh STAGE OUTDIR VERSION
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ $# -ne 3 ]; then
    echo "usage: $0 STAGE OUTDIR VERSION" >&2
    exit 2
fi
if [ ! -d "$1" ]; then
    echo "error: the staging folder $1 does not exist" >&2
    exit 1
fi
stage=$(cd "$1" && pwd)
version=$3
# The version names the file and shows in Add/Remove Programs.
if ! [[ $version =~ ^[0-9A-Za-z][0-9A-Za-z.+~-]*$ ]]; then
    echo "error: the version '$version' is not letters, digits and . + ~ -" >&2
    exit 1
fi
mkdir -p "$2"
outdir=$(cd "$2" && pwd)
out="$outdir/readceph-$version-setup.exe"

# True when FILE is a 64-bit (x86-64) Windows program: the PE header that the "MZ"
# header's offset at 0x3c points to, and its machine field 0x8664.
is_win64_exe() {
    local pe
    [ "$(head -c 2 "$1")" = "MZ" ] || return 1
    pe=$(od -An -tu4 -j 60 -N 4 "$1" | tr -d ' ')
    [ "$(od -An -c -j "$pe" -N 4 "$1" | tr -d ' ')" = 'PE\0\0' ] || return 1
    [ "$(od -An -tx2 -j $((pe + 4)) -N 2 "$1" | tr -d ' ')" = "8664" ]
}

# The film receiver's settings are staged only when cephtool.exe has the receiver: an
# installer without it would drop a practice's receiver on upgrade.
missing=()
for f in readceph.exe cephtool.exe fonts/NotoSansCJK-Regular.ttc translations/qtbase_zh_TW.qm \
    demo/OutExe.tmp demo/selvsys.ini landmark-error.tsv receive-settings.txt; do
    [ -f "$stage/$f" ] || missing+=("$f")
done
compgen -G "$stage/licences/*.txt" >/dev/null || missing+=("licences/*.txt")
if [ ${#missing[@]} -gt 0 ]; then
    echo "error: missing in $stage: ${missing[*]}" >&2
    echo "(is it the folder that cmake --install filled from the Windows build?)" >&2
    exit 1
fi
for f in readceph.exe cephtool.exe; do
    if ! is_win64_exe "$stage/$f"; then
        echo "error: $stage/$f is not a 64-bit Windows program" >&2
        exit 1
    fi
done

"$root/scripts/install-deps.sh" --only nsis

# The setup file's own version property wants four numbers: 0.1 -> 0.1.0.0; a version
# that does not start with a number has none.
defines=(-DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$out")
if [[ $version =~ ^([0-9]+)(\.([0-9]+))?(\.([0-9]+))?(\.([0-9]+))? ]]; then
    m=("${BASH_REMATCH[@]}")
    defines+=(-DFILEVERSION="${m[1]}.${m[3]:-0}.${m[5]:-0}.${m[7]:-0}")
fi

rm -f "$out"
# The file lists go to a folder of our own: makensis leaves its temporary files behind
# when it fails.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
defines+=(-DLISTDIR="$scratch")
# -V2: warnings and errors only; -WX: a warning fails the build.
makensis -V2 -WX "${defines[@]}" "$root/packaging/windows/readceph.nsi"
if [ ! -s "$out" ]; then
    echo "error: makensis wrote no $out" >&2
    exit 1
fi
echo "$out"
