#!/usr/bin/env bash
# Builds the Debian packages from ./build (cpack) and checks them as a Debian
# maintainer would: lintian with Debian's default profile, hardening-check on
# every program, desktop-file-validate on the menu entries and appstreamcli on
# the AppStream description (offline). Any finding fails the script.
#   tools/check-package.sh [BUILD_DIR]
set -uo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build}" && pwd)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

(cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1) || {
    cat "$out/cpack.log"
    echo "FAIL: cpack"
    exit 1
}
debs=("$out"/*.deb)
echo "packages: ${debs[*]##*/}"
for expected in quelnet quelnet-sim quelnet-bridge; do
    ls "$out/${expected}_"*.deb >/dev/null 2>&1 || fail "no package $expected"
done

# lintian: no error, no warning (informational tags are allowed).
if ! lintian --fail-on error,warning --tag-display-limit 0 "${debs[@]}"; then
    fail "lintian"
fi

root=$out/root
for deb in "${debs[@]}"; do
    dpkg-deb -x "$deb" "$root"
done
# Control-flow protection is built in (-fcf-protection) but cannot show: the
# linker marks a program only when every object it links is marked, and
# Debian 12's C library start files (crt1.o, crti.o) are not; no program of
# Debian 12 itself (/usr/bin/ls, dpkg) passes that check either.
for program in "$root"/usr/bin/*; do
    [[ -f $program ]] || continue
    hardening-check --quiet --nocfprotection "$program" || fail "hardening-check ${program##*/}"
done
for entry in "$root"/usr/share/applications/*.desktop; do
    desktop-file-validate "$entry" || fail "desktop-file-validate ${entry##*/}"
done
for metainfo in "$root"/usr/share/metainfo/*.xml; do
    appstreamcli validate --no-net --pedantic "$metainfo" || fail "appstreamcli validate ${metainfo##*/}"
done
for page in quelnet quelnetctl quelnet-sim quelnet-bridge; do
    [[ -f $root/usr/share/man/man1/$page.1.gz ]] || fail "no manual page $page(1)"
done

if ((failures)); then
    echo "$failures check(s) failed"
    exit 1
fi
echo "packages clean: lintian, hardening-check, desktop-file-validate, appstreamcli"
