/* The exported interface of Lexmill used from C, as a conversion driver would use it. */

#include "lexmill/Lexmill.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static int failures = 0;

#define CHECK(cond)                                                                                \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond);               \
            ++failures;                                                                            \
        }                                                                                          \
    } while (0)

static char dir[256];

static void Path(char* out, size_t size, const char* name) {
    snprintf(out, size, "%s/%s", dir, name);
}

static void WriteFile(const char* path, const char* bytes) {
    FILE* f = fopen(path, "wb");
    fwrite(bytes, 1, strlen(bytes), f);
    fclose(f);
}

static long ReadFile(const char* path, char* out, size_t size) {
    FILE* f = fopen(path, "rb");
    if (f == NULL) {
        return -1;
    }
    long n = (long)fread(out, 1, size - 1, f);
    out[n] = '\0';
    fclose(f);
    return n;
}

static void TestConversionRun(void) {
    char source[300];
    char output[300];
    char dump[300];
    Path(source, sizeof source, "source.txt");
    Path(output, sizeof output, "out.ref");
    Path(dump, sizeof dump, "errors.dmp");
    WriteFile(source, "header line\n"
                      "PMID- 1\nTI  - A study of\n      things.\nAU  - Smith JA\n"
                      "SO  - Nature 1998;12(3):123-9.\n\n"
                      "PMID- 2\nAU  - Nobody\n");
    lexmill_SetErrorFile(dump);
    CHECK(lexmill_PrepareReadWrite(source, output, 0) == 0);
    CHECK(lexmill_GetRunError(NULL, 0) == 0);
    CHECK(lexmill_GetInSize() == lexmill_GetFileSize(source));

    char text[64];
    CHECK(lexmill_GetCurRef(text, sizeof text) == 1 && strcmp(text, "1") == 0);

    lexmill_ReadTaggedRecord("PMID-", "", "");
    CHECK(lexmill_GetMLine() == 1); /* the header line is a block of its own */
    lexmill_ReadTaggedRecord("PMID-", "", "");
    CHECK(lexmill_GetMLine() == 5);
    CHECK(lexmill_GetInRef() == 1);
    CHECK(lexmill_GetTagLine("AU  - ") == 3);
    /* A buffer too small receives the start of the text and learns its length. */
    char small[6];
    size_t n = lexmill_ReadShortTaggedField(1, small, sizeof small);
    CHECK(n == strlen("TI - A study of things."));
    CHECK(strcmp(small, "TI - ") == 0);

    lexmill_ReadTitle("TI  - ", 0);
    CHECK(lexmill_GetTitleLineNumb() == 1);
    CHECK(lexmill_GetTitleString(1, text, sizeof text) > 0 &&
          strcmp(text, " A study of things.") == 0);
    lexmill_AddToAuthors("Smith, J A.");
    lexmill_SetIdString("1");
    lexmill_SetYearVolPage("1998 (12(3)) pp 123-129");
    lexmill_DumpLongJournalName("Nature");
    /* Out-of-range indexes are ignored and read as empty text. */
    lexmill_SetAutString(31, "ignored");
    CHECK(lexmill_GetAutString(31, text, sizeof text) == 0);
    CHECK(lexmill_GetAllLines(999, text, sizeof text) == 0);
    lexmill_WriteToFile();
    CHECK(lexmill_GetRefsWritten() == 1);

    lexmill_ReadTaggedRecord("PMID-", "", "");
    CHECK(lexmill_GetMLine() == 2);
    lexmill_WriteToFile(); /* no title: dumped */
    lexmill_ReadTaggedRecord("PMID-", "", "");
    CHECK(lexmill_GetFilSlut() == 1);
    lexmill_CloseFiles();
    lexmill_CloseErrorFile();
    CHECK(lexmill_GetRefsWritten() == 1);
    CHECK(lexmill_GetRefsDumped() == 1);
    CHECK(lexmill_WriteErrorFileError() == 0);

    char content[1024];
    CHECK(ReadFile(output, content, sizeof content) > 0);
    CHECK(strcmp(content, " 1\r\n Smith, J A.\r\n A study of things.\r\n 1998 (12(3)) pp 123-129"
                          "\r\n Nature\r\n\r\n") == 0);
    CHECK(ReadFile(dump, content, sizeof content) > 0);
    CHECK(strstr(content, "PMID- 2\r\nAU  - Nobody\r\n") != NULL);
}

static void TestFailures(void) {
    char source[300];
    char missing[300];
    char output[300];
    Path(source, sizeof source, "source.txt");
    Path(missing, sizeof missing, "no-such-source.txt");
    Path(output, sizeof output, "no-such-dir/out.ref");
    CHECK(lexmill_PrepareReadWrite(source, output, 0) == 3);

    Path(output, sizeof output, "out2.ref");
    CHECK(lexmill_PrepareReadWrite(missing, output, 0) == 0);
    char message[128];
    CHECK(lexmill_GetRunError(message, sizeof message) == 1);
    CHECK(strcmp(message, "no access to the screen dump file") == 0);
    CHECK(lexmill_GetInSize() == 0);
    lexmill_ReadTheWholeReference("PMID-");
    CHECK(lexmill_GetMLine() == 0 && lexmill_GetFilSlut() == 1);
    lexmill_CloseFiles();
}

static void TestSettings(void) {
    char text[64];
    lexmill_SetCommonLabel("  ");
    lexmill_SetCommonLabel(" A ");
    lexmill_SetDiacChar('~');
    CHECK(lexmill_GetDiacChar() == '~');
    CHECK(lexmill_ChangeCharSet_D("M~uller ~x", text, sizeof text) == 9);
    CHECK(strcmp(text, "M\xFCller ~x") == 0);
    lexmill_SetConvCharSet(1);
    CHECK(lexmill_GetConvCharSet() == 1);
    lexmill_SetConvCharSet(0);
    lexmill_SetCommonLabel("");
}

static void TestOrdinals(void) {
    size_t count = 0;
    const LexmillExport* exports = lexmill_Exports(&count);
    CHECK(count == 130);
    CHECK(exports[0].ordinal == 1 && strcmp(exports[0].name, "ChangeCharSet_D") == 0);
    CHECK(lexmill_ProcByOrdinal(112) == (LexmillProc)lexmill_SetCommonLabel);
    CHECK(lexmill_ProcByOrdinal(18) == (LexmillProc)lexmill_PrepareReadWrite);
    CHECK(lexmill_ProcByOrdinal(2) == NULL);
    CHECK(lexmill_ProcByOrdinal(104) == NULL);
    int ascending = 1;
    for (size_t i = 1; i < count; ++i) {
        ascending = ascending && exports[i - 1].ordinal < exports[i].ordinal;
    }
    CHECK(ascending);
}

int main(void) {
    const char* tmp = getenv("TMPDIR");
    snprintf(dir, sizeof dir, "%s/lexmill-c-test-XXXXXX", tmp != NULL ? tmp : "/tmp");
    if (mkdtemp(dir) == NULL) {
        perror("mkdtemp");
        return 1;
    }
    TestConversionRun();
    TestFailures();
    TestSettings();
    TestOrdinals();
    char command[400];
    snprintf(command, sizeof command, "rm -rf '%s'", dir);
    if (system(command) != 0) {
        fprintf(stderr, "could not remove %s\n", dir);
    }
    if (failures != 0) {
        fprintf(stderr, "%d check(s) failed\n", failures);
        return 1;
    }
    printf("lexmill C interface: all checks passed\n");
    return 0;
}
