#!/usr/bin/env bash
# Tries the Windows installer (scripts/windows-installer.sh) under Wine, in a fresh Wine
# folder of its own, the way a practice's roll-out uses it:
#   1. a silent install (/S): the files in C:\Program Files\readceph, the uninstall
#      entry in the 64-bit registry, the Start-menu shortcut, the installed cephtool
#      reading the installed demo patient and click-error table;
#   2. the same installer again over it: files put back, a practice's own files kept;
#      and while the installed cephtool runs, installer and uninstaller both end with
#      an error and change nothing (a running program's file cannot be replaced);
#   3. the uninstaller, silently and in place (_?=): every installed file, the entry
#      and the shortcut gone, the practice's own files kept;
#   4. a silent install into another folder (/D=) with blanks and Chinese in its path,
#      removed again by the entry's own QuietUninstallString: folder, entry and
#      shortcut gone;
#   5. the film receiver (/RECEIVER): its scheduled task and its settings in
#      ProgramData, both kept by an upgrade that does not ask again, the settings read
#      by the installed cephtool; the uninstaller removes the task, not the settings.
# Prints each check and the number that failed; exits with 1 when any failed.
#
#   scripts/windows-install-test.sh INSTALLER
#   KEEP_PREFIX=1 scripts/windows-install-test.sh INSTALLER
#       keeps the Wine folder with readceph installed once more at the end, and
#       prints how to run the installed program from it
set -euo pipefail
if [ $# -ne 1 ] || [ ! -f "$1" ]; then
    echo "usage: [KEEP_PREFIX=1] $0 INSTALLER.exe" >&2
    exit 2
fi
installer=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
for tool in wine wineboot wineserver winedbg; do
    if ! command -v "$tool" >/dev/null; then
        echo "error: $tool is missing (scripts/install-deps.sh --only wine wine64)" >&2
        exit 2
    fi
done

WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/readceph-wine.XXXXXX")
export WINEPREFIX
# No Mono or Gecko install prompts; no debug chatter; paths and arguments in UTF-8.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=C.UTF-8 LC_ALL=C.UTF-8
keep=${KEEP_PREFIX:-0}
finish() {
    wineserver -k 2>/dev/null || true
    if [ "$keep" = 1 ]; then
        echo "Wine folder kept: $WINEPREFIX"
    else
        rm -rf "$WINEPREFIX"
    fi
}
trap finish EXIT

failed=0
ok() { echo "ok:   $*"; }
fail() {
    echo "FAIL: $*"
    failed=$((failed + 1))
}
# check DESCRIPTION COMMAND...: runs the command, prints ok or FAIL with the description.
check() {
    local what=$1
    shift
    if "$@"; then ok "$what"; else fail "$what"; fi
}
# Runs a Windows program and waits for every process it started to end; run_nowait
# waits for that program only (something else is meant to go on running).
run() {
    local rc=0
    wine "$@" >>"$WINEPREFIX/run.log" 2>&1 || rc=$?
    wineserver -w
    return "$rc"
}
run_nowait() { wine "$@" >>"$WINEPREFIX/run.log" 2>&1; }

key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\readceph'
drive_c="$WINEPREFIX/drive_c"
shortcut="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/readceph.lnk"
default_win='C:\Program Files\readceph'
default_dir="$drive_c/Program Files/readceph"

entry_exists() { wine reg query "$key" /reg:64 >/dev/null 2>&1; }
entry_in_32bit_view() { wine reg query "$key" /reg:32 >/dev/null 2>&1; }
not() { ! "$@"; }
starts_with() { [[ $1 == "$2"* ]]; }
# True while a Windows process of that file name runs.
running() { winedbg --command "info proc" 2>/dev/null | grep -qiF "'$1'"; }
has_licences() { compgen -G "$1/licences/*.txt" >/dev/null; }
has_text() { tr -d '\0' <"$1" | grep -qF "$2"; }
# The files under a folder, relative, one a line.
files_under() { (cd "$1" && find . -type f | sort); }
# Of the files the first install put there ($installed), those missing from DIR, and
# those still there.
missing_files() { while IFS= read -r f; do [ -e "$1/$f" ] || echo "$f"; done <<<"$installed"; }
left_files() { while IFS= read -r f; do [ ! -e "$1/$f" ] || echo "$f"; done <<<"$installed"; }

# The uninstall entry of the 64-bit registry view as UTF-8 text, for reg_value: reg
# query would print the Chinese of a path as question marks.
read_entry() {
    rm -f "$drive_c/entry.reg" "$WINEPREFIX/entry.txt"
    touch "$WINEPREFIX/entry.txt"
    wine reg export "$key" 'C:\entry.reg' /reg:64 /y >/dev/null 2>&1 || return 0
    iconv -f UTF-16 -t UTF-8 "$drive_c/entry.reg" | tr -d '\r' >"$WINEPREFIX/entry.txt"
}
# The value NAME from read_entry: a text without the .reg quoting, a number in decimal.
reg_value() {
    local line
    line=$(grep -m1 "^\"$1\"=" "$WINEPREFIX/entry.txt") || return 0
    line=${line#*=}
    case $line in
    dword:*) echo $((16#${line#dword:})) ;;
    \"*\")
        line=${line:1:-1}
        line=${line//\\\"/\"}
        echo "${line//\\\\/\\}"
        ;;
    esac
}

# Checks an install in DIR (its Windows name WIN): files, entry, shortcut.
check_installed() {
    local dir=$1 win=$2 f
    for f in readceph.exe cephtool.exe uninstall.exe landmark-error.tsv \
        fonts/NotoSansCJK-Regular.ttc translations/qtbase_zh_TW.qm demo/OutExe.tmp \
        demo/selvsys.ini; do
        check "installed $win\\${f//\//\\}" test -s "$dir/$f"
    done
    check "installed licence texts in $win\\licences" \
        has_licences "$dir"
    check "uninstall entry in the 64-bit registry view" entry_exists
    check "no uninstall entry in the 32-bit view" not entry_in_32bit_view
    read_entry
    local name version icon location uninstall quiet size
    name=$(reg_value DisplayName)
    version=$(reg_value DisplayVersion)
    icon=$(reg_value DisplayIcon)
    location=$(reg_value InstallLocation)
    uninstall=$(reg_value UninstallString)
    quiet=$(reg_value QuietUninstallString)
    size=$(reg_value EstimatedSize)
    check "DisplayName is readceph ($name)" test "$name" = readceph
    check "DisplayVersion is set ($version)" test -n "$version"
    check "Publisher is The readceph developers" \
        test "$(reg_value Publisher)" = "The readceph developers"
    check "DisplayIcon in the program folder ($icon)" starts_with "$icon" "$win\\"
    check "InstallLocation is $win ($location)" test "$location" = "$win"
    check "UninstallString is quoted ($uninstall)" test "$uninstall" = "\"$win\\uninstall.exe\""
    check "QuietUninstallString has /S ($quiet)" test "$quiet" = "\"$win\\uninstall.exe\" /S"
    check "EstimatedSize is above 1 MB (${size:-none} KB)" test "${size:-0}" -gt 1024
    check "NoModify and NoRepair are 1" \
        test "$(reg_value NoModify)/$(reg_value NoRepair)" = "1/1"
    check "Start-menu shortcut readceph.lnk" test -f "$shortcut"
    if [ -f "$shortcut" ]; then
        check "the shortcut starts readceph.exe" has_text "$shortcut" "readceph.exe"
    fi
}

started=$(date +%s)
echo "== Wine folder $WINEPREFIX"
wineboot -i >/dev/null 2>&1
wineserver -w
echo "   ready in $(($(date +%s) - started)) s"

echo "== 1. silent install: $(basename "$installer") /S"
t=$(date +%s)
if run "$installer" /S; then ok "the installer ended with 0"; else fail "the installer ended with $?"; fi
echo "   took $(($(date +%s) - t)) s"
check_installed "$default_dir" "$default_win"
task="$drive_c/windows/system32/tasks/readceph/receive"
receiver_settings="$drive_c/ProgramData/readceph/receive-settings.txt"
check "no receiver task unless asked for" test ! -e "$task" -a ! -e "$receiver_settings"
# A cephtool.exe built with the receiver comes with its settings.
has_receiver=0
if [ -f "$default_dir/receive-settings.txt" ]; then has_receiver=1; fi
installed=$(files_under "$default_dir" 2>/dev/null || true)
echo "   $(wc -l <<<"$installed") files, $(du -sk "$default_dir" | cut -f1) KB"
code=$(cut -d, -f1 "$default_dir/demo/ceph-1" 2>/dev/null || true)
analysed=$(wine "$default_win\\cephtool.exe" analyse --uncertainty --error-model \
    "$default_win\\landmark-error.tsv" --draws 100 "$default_win\\demo\\ceph-1" 2>&1 | tr -d '\r' || true)
check "the installed cephtool analyses the installed demo with the installed error table" \
    test -n "$code" -a "${analysed%%,*}" = "$code"

echo "== 2. the same installer over the install"
cp "$default_dir/landmark-error.tsv" "$WINEPREFIX/landmark-error.tsv"
echo "an older table" >"$default_dir/landmark-error.tsv"
mkdir -p "$default_dir/demo/filesave"
echo "[own]" >"$default_dir/demo/filesave/CephRate.ini"
echo "a practice's note" >"$default_dir/notes.txt"
if run "$installer" /S; then ok "the installer ended with 0"; else fail "the installer ended with $?"; fi
check "a changed file is put back" cmp -s "$WINEPREFIX/landmark-error.tsv" \
    "$default_dir/landmark-error.tsv"
check "the practice's own files are kept" \
    test -f "$default_dir/demo/filesave/CephRate.ini" -a -f "$default_dir/notes.txt"
check_installed "$default_dir" "$default_win"

# The uninstaller runs in place with _?=DIR, which must reach it unquoted: wine would
# quote the argument for the blank in the path; a batch file passes it as written.
in_place="$drive_c/uninstall-in-place.bat"
printf '@"%s\\uninstall.exe" /S _?=%s\r\n@exit /b %%errorlevel%%\r\n' \
    "$default_win" "$default_win" >"$in_place"

echo "== 2b. while the installed cephtool runs"
# cephtool analyse reads standard input until it ends: a pipe held open keeps it running.
fifo="$WINEPREFIX/cephtool-input"
mkfifo "$fifo"
wine "$default_win\\cephtool.exe" analyse <"$fifo" >/dev/null 2>&1 &
cephtool_pid=$!
exec 3>"$fifo"
for _ in $(seq 50); do
    if running cephtool.exe; then break; fi
    sleep 0.2
done
check "cephtool runs" running cephtool.exe
echo "an older table" >"$default_dir/landmark-error.tsv"
if run_nowait "$installer" /S; then
    fail "the installer ended with 0 while cephtool runs"
else
    ok "the installer ended with $? while cephtool runs"
fi
check "... and changed no file" test "$(cat "$default_dir/landmark-error.tsv")" = "an older table"
if run_nowait cmd /c 'C:\uninstall-in-place.bat'; then
    fail "the uninstaller ended with 0 while cephtool runs"
else
    ok "the uninstaller ended with $? while cephtool runs"
fi
gone=$(missing_files "$default_dir")
check "... and removed nothing${gone:+ (gone: $(tr '\n' ' ' <<<"$gone"))}" test -z "$gone"
check "... nor the entry" entry_exists
exec 3>&-
wait "$cephtool_pid" || true
wineserver -w
rm -f "$fifo"
check "cephtool has ended" not running cephtool.exe

echo "== 3. silent uninstall in place: uninstall.exe /S _?=$default_win"
if run cmd /c 'C:\uninstall-in-place.bat'; then
    ok "the uninstaller ended with 0"
else
    fail "the uninstaller ended with $?"
fi
left=$(left_files "$default_dir" | grep -vxF ./uninstall.exe || true)
check "it ran in place: its own file is left, as _?= makes it" test -f "$default_dir/uninstall.exe"
check "every installed file is gone${left:+ (left: $(tr '\n' ' ' <<<"$left"))}" test -z "$left"
check "the practice's own files are kept" \
    test -f "$default_dir/demo/filesave/CephRate.ini" -a -f "$default_dir/notes.txt"
check "the uninstall entry is gone" not entry_exists
check "the shortcut is gone" test ! -e "$shortcut"
rm -rf "$default_dir"

other_win='C:\診所 程式\readceph'
other_dir="$drive_c/診所 程式/readceph"
echo "== 4. silent install into another folder: /D=$other_win"
# /D= takes the rest of the command line unquoted, blanks and all: through cmd, which
# passes it as written, not through wine, which would quote it.
cp "$installer" "$drive_c/readceph-setup.exe"
if run cmd /c "C:\\readceph-setup.exe /S /D=$other_win"; then
    ok "the installer ended with 0"
else
    fail "the installer ended with $?"
fi
check "nothing in $default_win" test ! -e "$default_dir"
check_installed "$other_dir" "$other_win"
# The programs load their font from a folder whose name the 8-bit code page may not hold.
rm -f "$drive_c/page.pdf"
wine "$other_win\\cephtool.exe" report --data "$other_win\\demo" \
    --handoff "$other_win\\demo\\OutExe.tmp" --tracing 1 --out 'C:\page.pdf' \
    >>"$WINEPREFIX/run.log" 2>&1 || true
check "the installed cephtool draws the demo's report from there" test -s "$drive_c/page.pdf"
quiet=$(reg_value QuietUninstallString)
echo "   uninstall: $quiet"
# The uninstaller copies itself to a temporary folder and starts that copy, which
# removes the program folder too; run waits for it. wine quotes the program's path
# with blanks as the entry does.
if [[ $quiet =~ ^\"([^\"]+)\"\ (.*)$ ]]; then
    program=${BASH_REMATCH[1]}
    read -ra options <<<"${BASH_REMATCH[2]}"
    if run "$program" "${options[@]}"; then
        ok "the quiet uninstall ended with 0"
    else
        fail "the quiet uninstall ended with $?"
    fi
else
    fail "the QuietUninstallString is not a quoted program and its options"
fi
check "the program folder is gone" test ! -e "$other_dir"
check "the uninstall entry is gone" not entry_exists
check "the shortcut is gone" test ! -e "$shortcut"

if [ "$has_receiver" = 1 ]; then
    echo "== 5. the film receiver: /S /RECEIVER"
    # Wine's Task Scheduler is a service that Windows always runs and Wine starts on demand.
    run_nowait net start schedule || true
    if run "$installer" /S /RECEIVER; then ok "the installer ended with 0"; else fail "the installer ended with $?"; fi
    check "the task readceph\\receive is registered" test -f "$task"
    check "its settings are in ProgramData\\readceph" test -s "$receiver_settings"
    printf -- '--bind 127.0.0.1\r\n' >>"$receiver_settings"
    if run "$installer" /S; then ok "an upgrade ended with 0"; else fail "an upgrade ended with $?"; fi
    check "the upgrade kept the task" test -f "$task"
    check "... and the practice's settings" grep -qF -- "--bind 127.0.0.1" "$receiver_settings"
    rc=0
    wine "$default_win\\cephtool.exe" receive --settings \
        'C:\ProgramData\readceph\receive-settings.txt' >>"$WINEPREFIX/run.log" 2>&1 || rc=$?
    check "the installed cephtool reads them: no data folder or allow list, refused ($rc)" \
        test "$rc" = 2
    if run cmd /c 'C:\uninstall-in-place.bat'; then
        ok "the uninstaller ended with 0"
    else
        fail "the uninstaller ended with $?"
    fi
    check "the task is gone" test ! -e "$task"
    check "the settings stay" test -s "$receiver_settings"
    rm -rf "$default_dir"
fi

if [ "$keep" = 1 ]; then
    echo "== installing once more to keep"
    if run "$installer" /S; then ok "the installer ended with 0"; else fail "the installer ended with $?"; fi
    echo "Run the installed program on a copy of the demo patient:"
    echo "  export WINEPREFIX=$WINEPREFIX"
    echo "  cp -r \"$default_dir/demo\" /tmp/readceph-demo && cd /tmp/readceph-demo"
    printf '  wine "%s\\readceph.exe" OutExe.tmp\n' "$default_win"
fi

echo "== $failed failed; $(($(date +%s) - started)) s in all"
[ "$failed" -eq 0 ]
