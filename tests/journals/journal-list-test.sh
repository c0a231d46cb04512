#!/bin/sh
# The committed journal list is what data/journals/derive-journals.py derives from the public
# lists in the shared folder. Skipped (status 77) where that folder is absent.
#   journal-list-test.sh PYTHON JOURNAL-DATA-FOLDER SOURCE-LISTS
set -eu
python=$1 data=$2 sources=$3
if [ ! -d "$sources" ]; then
    echo "skipped: the public journal lists are read in place from $sources, which does not exist"
    exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$python" "$data/derive-journals.py" "$sources" "$work/journals.csv"
cmp "$work/journals.csv" "$data/journals.csv" || {
    echo "FAILED: derive-journals.py no longer derives the committed journals.csv"
    exit 1
}
