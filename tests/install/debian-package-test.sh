#!/bin/sh
# Makes the Debian package of the build and checks what it holds and what it depends on.
#   debian-package-test.sh CPACK BUILD
set -eu
cpack=$1 build=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAILED: $*"
    exit 1
}

(cd "$work" && "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work") >"$work/cpack.log" 2>&1 ||
    fail "cpack: $(cat "$work/cpack.log")"
package=$(ls "$work"/*.deb)
[ "$(dpkg-deb -f "$package" Package)" = citavox ] || fail "the package is not called citavox"
depends=$(dpkg-deb -f "$package" Depends)
for library in libc6 libstdc++6 libqt6core6; do
    case "$depends" in
    *"$library"*) ;;
    *) fail "the package does not depend on $library: $depends" ;;
    esac
done
contents=$(dpkg-deb -c "$package")
for file in ./usr/bin/citavox ./usr/bin/citavox-cli ./usr/share/applications/citavox.desktop \
    ./usr/share/mime/packages/citavox-references.xml ./usr/lib/liblexmill.so ./usr/include/lexmill/Lexmill.h \
    ./usr/lib/pkgconfig/lexmill.pc ./usr/share/citavox/journals.dat \
    ./usr/share/citavox/docdefs.dat ./usr/share/citavox/formats/apa.for; do
    echo "$contents" | grep -q " $file\( \|$\)" || fail "the package lacks $file"
done
echo "$package: Depends: $depends"
