#!/usr/bin/env bash
# Builds the Debian package from the tree (release build, cpack) into build/release,
# lists its files, and checks it: lintian (no errors), desktop-file-validate and
# appstreamcli validate. Prints the package's path last.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/install-deps.sh --with-packaging

cmake --preset release -DCEPH_BUILD_BENCH=OFF -DCEPH_BUILD_TESTS=OFF >/dev/null
cmake --build build/release -j "$(nproc 2>/dev/null || echo 2)"
rm -f build/release/readceph_*.deb
(cd build/release && cpack -G DEB >/dev/null)
deb=$(ls build/release/readceph_*.deb)

echo "== files of $deb"
dpkg-deb --contents "$deb" | awk '{print $1, $6}'
echo "== control"
dpkg-deb --field "$deb" Package Version Architecture Depends Recommends

echo "== desktop-file-validate"
desktop-file-validate packaging/org.readceph.ReadCeph.desktop
echo "== appstreamcli validate"
appstreamcli validate --no-net packaging/org.readceph.ReadCeph.metainfo.xml
echo "== lintian"
lintian --fail-on error --tag-display-limit 0 "$deb"
echo "$deb"
