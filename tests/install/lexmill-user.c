/* A program of someone else's built against the installed liblexmill: it includes the installed
 * header and links with the flags of lexmill.pc, then checks that the ordinal table is there. */
#include <lexmill/Lexmill.h>

#include <stdio.h>
#include <string.h>

int main(void) {
    size_t count = 0;
    const LexmillExport* exports = lexmill_Exports(&count);
    for (size_t i = 0; i < count; ++i) {
        if (exports[i].ordinal == 18) {
            const int same = lexmill_ProcByOrdinal(18) == exports[i].proc;
            if (same && strcmp(exports[i].name, "PrepareReadWrite") == 0) {
                return 0;
            }
        }
    }
    fprintf(stderr, "liblexmill's ordinal table lacks ordinal 18 (PrepareReadWrite)\n");
    return 1;
}
