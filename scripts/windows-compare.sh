#!/usr/bin/env bash
# cephtool for Windows (under Wine) against cephtool for Linux, on the demo patient and
# on generated tracings; scripts/cephtool-compare.sh does the comparing and says what.
#
#   scripts/windows-compare.sh LINUX_CEPHTOOL WINDOWS_CEPHTOOL.exe
#   PATIENTS=500 scripts/windows-compare.sh ...     (more generated patients)
# Wine runs in WINEPREFIX (the caller's, or a scratch one made here).
set -euo pipefail
case ${2:-} in
    *.exe) ;;
    *)
        echo "usage: $0 LINUX_CEPHTOOL WINDOWS_CEPHTOOL.exe" >&2
        exit 2
        ;;
esac
exec "$(dirname "$0")/cephtool-compare.sh" "$1" "$2"
