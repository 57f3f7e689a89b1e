#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, when missing.
#   scripts/install-deps.sh [--with-display | --with-packaging | --with-fuzz | --with-bench]
#   scripts/install-deps.sh --only PACKAGE...     those packages, when missing
set -euo pipefail

if [ "${1:-}" = "--only" ]; then
    # Just the packages named after it (the other scripts' own needs).
    shift
    packages=("$@")
else
    packages=(g++ cmake ninja-build pkg-config qt6-base-dev libgtest-dev libgmock-dev
              clang-format fonts-noto-cjk qt6-translations-l10n poppler-utils libturbojpeg0-dev
              libjpeg62-turbo-dev libgdcm-dev libopenjp2-7-dev libtiff-dev
              libdlib-dev libdcmtk-dev dcmtk openssl)
    # The bundled demo is a real window: it needs a display, or Xvfb when there is none.
    if [ "${1:-}" = "--with-display" ]; then packages+=(xvfb xauth); fi
    # The DICOM benchmark (bench/dicom_open.sh) times GDCM's own gdcmconv beside the program.
    if [ "${1:-}" = "--with-bench" ]; then packages+=(libgdcm-tools); fi
    # The Debian package (scripts/package.sh): shared-library dependencies and its checks.
    if [ "${1:-}" = "--with-packaging" ]; then
        packages+=(dpkg-dev lintian desktop-file-utils appstream)
    fi
    # Fuzzing campaigns (scripts/fuzz.sh) build with clang and its libFuzzer runtime.
    if [ "${1:-}" = "--with-fuzz" ]; then packages+=(clang libclang-rt-14-dev); fi
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "Installing: ${missing[*]}"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
