#!/bin/sh
# Installs the build into a temporary prefix (stripped, as the package is) and runs citavox-cli
# from there with the build out of view: a cleared environment and a working folder of its own,
# and no installed file that names the build folder (no run path, no data path). What the
# installed program writes must equal what the program of the build writes; the journal-name
# database, the document definitions and the style library must be found in the prefix. Then a
# C program is built against the installed liblexmill with the flags of its pkg-config file.
#   installed-prefix-test.sh CMAKE BUILD SOURCE BUILT-CLI BINDIR LIBDIR DATADIR CC CFLAGS
#                            DOWNLOAD...
# The first DOWNLOAD that exists is imported.
set -eu
cmake=$1 build=$2 source=$3 built_cli=$4 bindir=$5 libdir=$6 datadir=$7 cc=$8 cflags=$9
shift 9

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cli=$prefix/$bindir/citavox-cli

fail() {
    echo "FAILED: $*"
    exit 1
}

# A command in FOLDER with nothing of the caller's environment but a private home.
run_in() {
    folder=$1
    shift
    (cd "$folder" && env -i HOME="$work/home" PATH=/usr/bin:/bin LANG=C.UTF-8 "$@")
}

"$cmake" --install "$build" --prefix "$prefix" --strip >"$work/install.log" ||
    fail "cmake --install: $(cat "$work/install.log")"
for file in "$bindir/citavox" "$bindir/citavox-cli" "$libdir/liblexmill.so" "$libdir/pkgconfig/lexmill.pc" \
    include/lexmill/Lexmill.h "$datadir/journals.dat" "$datadir/docdefs.dat" \
    "$datadir/formats/apa.for" "$datadir/formats/vancouver.for" "$datadir/manual/index.html" \
    share/applications/citavox.desktop share/icons/hicolor/scalable/apps/citavox.svg \
    share/mime/packages/citavox-references.xml; do
    [ -e "$prefix/$file" ] || fail "the installation lacks $file"
done
# A sanitizer build keeps the names of the sources it compiled for its diagnostics, generated
# sources of the build folder among them; any other mention of the build folder is a fault.
if named=$(find "$prefix" -type f -exec strings -a {} + | grep -F "$build" |
    grep -Ev '\.(c|cpp|h)$'); then
    fail "installed files name the build folder $build: $named"
fi

download=
for candidate in "$@"; do
    if [ -f "$candidate" ]; then
        download=$candidate
        break
    fi
done
[ -n "$download" ] || fail "none of the downloads exists: $*"

# The same work for the installed program and for the program of the build, in two folders.
mkdir -p "$work/home"
for side in installed built; do
    mkdir "$work/$side"
    cp "$source/examples/refs.ref" "$source/examples/manuscript.rtf" "$work/$side/"
    cp "$download" "$work/$side/download.txt"
done
for side in installed built; do
    program=$cli
    [ "$side" = built ] && program=$built_cli
    run_in "$work/$side" "$program" complete manuscript.rtf --format apa >"$work/$side.complete" ||
        fail "$side: citavox-cli complete: $(cat "$work/$side.complete")"
    run_in "$work/$side" "$program" import download.txt imported.ref >"$work/$side.import" ||
        fail "$side: citavox-cli import: $(cat "$work/$side.import")"
done
cmp "$work/installed/manuscript_OUT.rtf" "$work/built/manuscript_OUT.rtf" ||
    fail "the installed program completed the manuscript differently"
cmp "$work/installed/imported.ref" "$work/built/imported.ref" ||
    fail "the installed program imported the download differently"
grep -q "^Written: [1-9]" "$work/installed.import" ||
    fail "nothing imported: $(cat "$work/installed.import")"

# The shipped journal-name database answers from the prefix.
answer=$(run_in "$work/installed" "$cli" journal lookup "J Biol Chem") ||
    fail "citavox-cli journal lookup: $answer"
[ "$answer" = "The Journal of Biological Chemistry
unique" ] || fail "journal lookup gave: $answer"

# A C program against the installed library, by its pkg-config file.
flags=$(PKG_CONFIG_PATH="$prefix/$libdir/pkgconfig" pkg-config --cflags --libs lexmill) ||
    fail "pkg-config finds no lexmill"
# shellcheck disable=SC2086 # the flags are words
"$cc" $cflags -o "$work/lexmill-user" "$source/tests/install/lexmill-user.c" $flags ||
    fail "the C program does not build with: $flags"
run_in "$work" env LD_LIBRARY_PATH="$prefix/$libdir" "$work/lexmill-user" ||
    fail "the C program against the installed liblexmill failed"
echo "installed into $prefix and ran from there"
