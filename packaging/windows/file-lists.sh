#!/usr/bin/env bash
# Writes the two lists the installer script includes, from the staging folder: the
# NSIS commands that install every file (one SetOutPath per folder, one File per file)
# and those that remove exactly these files and then the folders, deepest first, that
# are left empty. One listing for both, so the uninstaller removes what the installer
# put there and nothing else: a practice's own files in the folder stay.
# readceph.nsi runs it while compiling; by hand:
#
#   packaging/windows/file-lists.sh STAGE INSTALL.nsh UNINSTALL.nsh
set -euo pipefail
if [ $# -ne 3 ]; then
    echo "usage: $0 STAGE INSTALL.nsh UNINSTALL.nsh" >&2
    exit 2
fi
stage=$(cd "$1" && pwd)
case "$stage" in *'"'* | *$'\n'*)
    echo "error: the staging folder's path cannot hold a quote or a line break: $stage" >&2
    exit 1 ;;
esac
install_list=$2
uninstall_list=$3
export LC_ALL=C

# A link or a special file would be copied as whatever it points to, or not at all;
# names Windows cannot hold would fail on the practice's machine, not here.
odd=$(cd "$stage" && find . -mindepth 1 ! -type f ! -type d -print)
if [ -n "$odd" ]; then
    echo "error: $stage holds what is neither a file nor a folder:" >&2
    echo "$odd" >&2
    exit 1
fi
bad=$(cd "$stage" && find . -mindepth 1 -print0 | while IFS= read -r -d '' path; do
    if [[ $path =~ [[:cntrl:]\<\>:\"\|\?\*\\] ]]; then printf '%q\n' "$path"; fi
done)
if [ -n "$bad" ]; then
    echo "error: names in $stage that a Windows folder cannot hold:" >&2
    echo "$bad" >&2
    exit 1
fi

# In NSIS strings a dollar sign starts a variable: doubled, it stands for itself.
nsis_text() { printf '%s' "${1//\$/\$\$}"; }
# ./demo/pictures -> \demo\pictures ; . -> (empty)
windows_rel() {
    local rel=${1#.}
    nsis_text "${rel//\//\\}"
}

folders=$(cd "$stage" && find . -type d -print | sort)
{
    echo "; Written by file-lists.sh from $(nsis_text "$stage"): do not edit."
    while IFS= read -r dir; do
        echo "SetOutPath \"\$INSTDIR$(windows_rel "$dir")\""
        (cd "$stage" && find "$dir" -mindepth 1 -maxdepth 1 -type f -print | sort) |
            while IFS= read -r file; do
                echo "File \"$(nsis_text "$stage/${file#./}")\""
            done
    done <<<"$folders"
} >"$install_list"

{
    echo "; Written by file-lists.sh from $(nsis_text "$stage"): do not edit."
    (cd "$stage" && find . -type f -print | sort) | while IFS= read -r file; do
        echo "Delete \"\$INSTDIR$(windows_rel "$file")\""
    done
    # Deepest first; RMDir without /r leaves a folder that still holds anything.
    sort -r <<<"$folders" | while IFS= read -r dir; do
        if [ "$dir" != "." ]; then echo "RMDir \"\$INSTDIR$(windows_rel "$dir")\""; fi
    done
} >"$uninstall_list"
