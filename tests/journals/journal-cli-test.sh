#!/bin/sh
# The output shapes and exit statuses of "citavox-cli journal", against the shipped database.
#   journal-cli-test.sh CITAVOX-CLI
set -u
cli=$1
failures=0

# expect STATUS EXPECTED-OUTPUT ARGUMENTS...
expect() {
    status=$1
    expected=$2
    shift 2
    output=$("$cli" "$@" 2>/dev/null)
    actual=$?
    if [ "$actual" -ne "$status" ] || [ "$output" != "$expected" ]; then
        echo "FAILED: citavox-cli $*"
        echo "  status $actual (expected $status), output:"
        echo "$output" | sed 's/^/    /'
        failures=$((failures + 1))
    fi
}

nl='
'
expect 0 "The Journal of Biological Chemistry${nl}unique" journal lookup "J. Biol. Chem."
expect 0 "J Biol Chem${nl}unique" journal lookup "journal of biological chemistry" --form 2
expect 0 "Proc. Natl. Acad. Sci. U.S.A.${nl}unique" journal lookup "Proc Natl Acad Sci U S A" --form 3
expect 0 "Brain and Language${nl}fallback" journal lookup "Brain & Language" --form 4
expect 0 "Drug Res/Drug Res (Stuttg)${nl}ambiguous" journal lookup "Drug Research" --form 2
expect 0 "Drug Res (Stuttg)${nl}unique" journal lookup "Drug Research [2194-9379]" --form 2
expect 0 "Nature [0028-0836]${nl}unique" journal lookup "[0028-0836]" --form 8
expect 1 "${nl}not found" journal lookup "Journal of Imaginary Results"
expect 1 "" journal lookup "Nature" --database /nonexistent/journals.jdb
expect 2 "" journal lookup "Nature" --form 9
expect 2 "" journal lookup
expect 2 "" journal
expect 0 "Complete name: Nature
Alternate name: 
Medlar: Nature
Index Medicus: Nature
BIOSIS: 
Chemical Abstracts: 
ISSN: 0028-0836
Requires issue number: No
Lacks volume: No
Edited by the user: No" journal show "NATURE"
expect 1 "" journal show "Drug Research"
"$cli" journal stats | grep -q "^Complete journal names: [0-9]*,[0-9][0-9][0-9]$" ||
    { echo "FAILED: citavox-cli journal stats"; failures=$((failures + 1)); }

[ "$failures" -eq 0 ]
