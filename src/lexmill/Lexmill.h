/* Lexmill: the import library's exported interface.
 *
 * Lexmill cuts references out of downloaded database text, picks their fields apart and appends
 * them to a reference file. All of its state is one process-wide conversion run, driven from one
 * thread at a time (the conversion driver's worker thread).
 *
 * Conventions of this interface:
 * - Text crosses it as byte strings in the source's character set (code page 1252, or Shift-JIS
 *   when ConvCharSet is 1). Text arguments are zero-terminated; a received text is copied, never
 *   kept by reference.
 * - A text result ("var text") is copied into the caller's buffer `text` of `size` bytes: at most
 *   size - 1 bytes followed by a zero byte. The result is the text's full length, so a caller whose
 *   buffer was too small calls again with a larger one. The copied bytes may contain zero bytes
 *   of the source; the length tells where the text ends.
 * - Booleans are uint8_t (0 false, 1 true). No exception or C++ type crosses the interface.
 * - Indexes are clamped by the library: an index outside a table reads as empty text and is
 *   ignored when written.
 * - Every exported function carries the prefix lexmill_, so that no name clashes in a host
 *   process. Each operation also has a contract name (its name without the prefix) and an
 *   ordinal: lexmill_Exports lists both, and lexmill_ProcByOrdinal maps an ordinal to the
 *   operation, since this platform's loader binds by name only.
 */
#pragma once

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#define LEXMILL_API __declspec(dllexport)
#else
#define LEXMILL_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Set-up, tear-down and source information */
LEXMILL_API uint8_t lexmill_PrepareReadWrite(const char* source, const char* output,
                                             uint8_t append); /* 0 ok, 2 no memory, 3 no output */
LEXMILL_API void lexmill_CloseFiles(void);
LEXMILL_API void lexmill_CloseErrorFile(void);
LEXMILL_API void lexmill_Terminate(const char* message);
LEXMILL_API void lexmill_FileAppendCRLF(void);
LEXMILL_API int32_t lexmill_GetFileSize(const char* fileName);
LEXMILL_API int32_t lexmill_GetInSize(void);
LEXMILL_API int32_t lexmill_GetAbsPos(void);
LEXMILL_API size_t lexmill_GetDumpFileName(char* text, size_t size);
LEXMILL_API uint8_t lexmill_GetFilSlut(void);
LEXMILL_API uint8_t lexmill_SetFilSlut(void);
LEXMILL_API uint8_t lexmill_GetInRef(void);
LEXMILL_API size_t lexmill_GetCurRef(char* text, size_t size);

/* Settings */
LEXMILL_API void lexmill_SetConvCharSet(uint8_t charSet);
LEXMILL_API uint8_t lexmill_GetConvCharSet(void);
LEXMILL_API void lexmill_SetDoDiac(uint8_t on);
LEXMILL_API void lexmill_SetDiacChar(uint8_t escape);
LEXMILL_API uint8_t lexmill_GetDiacChar(void);
LEXMILL_API void lexmill_SetLanguage(const char* language);
LEXMILL_API void lexmill_SetAddLangToTitle(uint8_t on);
LEXMILL_API void lexmill_SetCommonLabel(const char* label);
LEXMILL_API void lexmill_SetErrorFile(const char* fileName);
LEXMILL_API void lexmill_SetDefaultErrDirectory(const char* dir); /* no effect */
LEXMILL_API void lexmill_ChangeBuffertToOem(void);                /* no effect */
LEXMILL_API void lexmill_SetSkipThisRef(void);
LEXMILL_API void lexmill_SetEtAlAuthors(void);
LEXMILL_API void lexmill_IncNotJournals(void);
LEXMILL_API void lexmill_ResetCollectData(void);

/* Record readers */
LEXMILL_API void lexmill_ReadTheWholeReference(const char* marker);
LEXMILL_API void lexmill_ReadTheWholeReferenceTwoC(const char* marker1, const char* marker2);
LEXMILL_API void lexmill_ReadTheWholeCompuServe(const char* marker);
LEXMILL_API void lexmill_ReadTheWholeReferenceSP(const char* marker);
LEXMILL_API void lexmill_ReadTheWholeReferenceSPTwoC(const char* marker1, const char* marker2);
LEXMILL_API void lexmill_ReadTheWholeReferenceBibl(void);
LEXMILL_API void lexmill_ReadBlankLineDelimBlock(void);
LEXMILL_API void lexmill_ReadFreeFormatBlock(uint8_t mode, uint8_t charSetMode);
LEXMILL_API void lexmill_ReadTheWholeReferenceAAEM(void);
LEXMILL_API void lexmill_MicIndexReadTheWholeReference(void);
LEXMILL_API void lexmill_RefUp_ReadTheWholeReference(void);
LEXMILL_API void lexmill_ReadTheWholeRef_Entrez(void);
LEXMILL_API void lexmill_ReadTheWholeRef_NCBIMed(void);
LEXMILL_API void lexmill_ReadTheWholeRefDIALOGISI(const char* marker);
LEXMILL_API size_t lexmill_ReadProbase(char* header, size_t size, int32_t maximumLength);
LEXMILL_API void lexmill_ReadTheWholeReferenceJICST(const char* marker);
LEXMILL_API void lexmill_ReadTheWholeReferenceRIS(const char* marker);
LEXMILL_API void lexmill_ReadTheWholeReferenceIGAKU(void);
/* Records of today's tagged downloads: blocks of tag lines that end at a blank line, at a line
 * starting with `endMarker` (which belongs to the record) or before a line starting with
 * `startMarker`; the lines of a field tagged `skippedTag` (a field that is never converted, such
 * as cited references) are consumed without taking room in the line table. Empty markers are
 * not used. */
LEXMILL_API void lexmill_ReadTaggedRecord(const char* startMarker, const char* endMarker,
                                          const char* skippedTag);

/* Field readers */
LEXMILL_API int32_t lexmill_GetTagLine(const char* tag);
LEXMILL_API size_t lexmill_ReadShortTaggedField(int32_t index, char* text, size_t size);
LEXMILL_API size_t lexmill_ReadLongSourceStr(const char* tag, char* text, size_t size);
LEXMILL_API size_t lexmill_GetIdString(const char* tag, char* text, size_t size);
LEXMILL_API size_t lexmill_GetLongAutString(const char* tag, char* text, size_t size);
LEXMILL_API void lexmill_ReadTitle(const char* tag, uint8_t decapitalise);
LEXMILL_API void lexmill_ReadLabelledInfo(const char* tag, const char* label, uint8_t decapitalise);
LEXMILL_API void lexmill_ReadAdress(const char* tag);
LEXMILL_API void lexmill_ReadLanguage(const char* tag);
LEXMILL_API void lexmill_ReadAbstract(const char* tag);
LEXMILL_API void lexmill_DumpAnAbstract(int32_t index, uint8_t tagLength,
                                        const char* continuationTag);
LEXMILL_API void lexmill_DumpSourceSection(const char* tag);
LEXMILL_API void lexmill_ReadAbstractCambridge(const char* tag, uint8_t tagOnSameLine);
LEXMILL_API void lexmill_DumpSourceSectionCambridge(const char* tag, uint8_t tagOnSameLine);
LEXMILL_API void lexmill_GetIdStringCambridge(const char* tag, uint8_t tagOnSameLine);
LEXMILL_API void lexmill_ReadAdressCambridge(const char* tag, uint8_t tagOnSameLine);
LEXMILL_API void lexmill_ReadLanguageCambridge(const char* tag, uint8_t tagOnSameLine);
LEXMILL_API void lexmill_ReadTitleCambridge(const char* tag, uint8_t tagOnSameLine);

/* Field builders and text conversions */
LEXMILL_API void lexmill_AddToAuthors(const char* text);
LEXMILL_API void lexmill_AddToEditors(const char* text);
LEXMILL_API void lexmill_AddToMajorHeads(const char* text);
LEXMILL_API void lexmill_DumpAddress(const char* text);
LEXMILL_API void lexmill_DumpTitle(const char* text);
LEXMILL_API void lexmill_DumpLongJournalName(const char* text);
LEXMILL_API void lexmill_DumpToSource(const char* text);
LEXMILL_API void lexmill_DumpStringToAbstract(const char* text);
LEXMILL_API void lexmill_DoExpandPages(void);
LEXMILL_API size_t lexmill_ChangeCharSet_D(const char* source, char* text, size_t size);
LEXMILL_API void lexmill_DecapitalizeTitle(void);
LEXMILL_API void lexmill_DecapitalizeAbstract(uint8_t first);

/* Output */
LEXMILL_API void lexmill_WriteToFile(void);
LEXMILL_API uint8_t lexmill_WriteErrorFileError(void);
/* The first fatal error reported to Terminate in this run (a source that cannot be opened, a
 * failed write); true when there was one. The run stops at such an error. */
LEXMILL_API uint8_t lexmill_GetRunError(char* text, size_t size);

/* Counters */
LEXMILL_API int32_t lexmill_GetRefsWritten(void);
LEXMILL_API int32_t lexmill_GetRefsDumped(void);
LEXMILL_API int32_t lexmill_GetRefsQuestioned(void);
LEXMILL_API int32_t lexmill_GetRefsEtAl(void);
LEXMILL_API int32_t lexmill_GetRefsWrongJournal(void);
LEXMILL_API int32_t lexmill_GetIncomplete(void);
/* Written references whose own text shows a "???" mark (characters that could not be kept). */
LEXMILL_API int32_t lexmill_GetRefsMarked(void);
/* True when the run's download was read in a legacy double-byte code page (or in one that could
 * not be told). */
LEXMILL_API uint8_t lexmill_GetLegacySource(void);
/* That code page's name ("GB18030", "BIG5", "SHIFT_JIS", "EUC-KR", ...); empty when it could not
 * be told or the download was in none. */
LEXMILL_API size_t lexmill_GetLegacyEncoding(char* text, size_t size);

/* Line table and collected reference; the collected arrays start at 1 */
LEXMILL_API uint16_t lexmill_GetMLine(void);
LEXMILL_API size_t lexmill_GetAllLines(int32_t index, char* text, size_t size);
LEXMILL_API void lexmill_SetAllLines(int32_t index, const char* text);
LEXMILL_API void lexmill_SetIdString(const char* text);
LEXMILL_API size_t lexmill_GetIdStrContent(char* text, size_t size);
LEXMILL_API uint8_t lexmill_GetAutLineNumb(void);
LEXMILL_API void lexmill_SetAutLineNumb(uint8_t count);
LEXMILL_API size_t lexmill_GetAutString(int32_t index, char* text, size_t size);
LEXMILL_API void lexmill_SetAutString(int32_t index, const char* text);
LEXMILL_API uint8_t lexmill_GetTitleLineNumb(void);
LEXMILL_API void lexmill_SetTitleLineNumb(uint8_t count);
LEXMILL_API size_t lexmill_GetTitleString(int32_t index, char* text, size_t size);
LEXMILL_API void lexmill_SetTitleString(int32_t index, const char* text);
LEXMILL_API uint8_t lexmill_GetAbstrLineNumb(void);
LEXMILL_API void lexmill_SetAbstrLineNumb(uint8_t count);
LEXMILL_API size_t lexmill_GetAbstrString(int32_t index, char* text, size_t size);
LEXMILL_API void lexmill_SetAbstrString(int32_t index, const char* text);
LEXMILL_API uint8_t lexmill_GetAdrLineNumb(void);
LEXMILL_API void lexmill_SetAdrLineNumb(uint8_t count);
LEXMILL_API size_t lexmill_GetAdrString(int32_t index, char* text, size_t size);
LEXMILL_API void lexmill_SetAdrString(int32_t index, const char* text);
LEXMILL_API uint8_t lexmill_GetEditLineNumb(void);
LEXMILL_API void lexmill_SetEditLineNumb(uint8_t count);
LEXMILL_API size_t lexmill_GetEditString(int32_t index, char* text, size_t size);
LEXMILL_API void lexmill_SetEditString(int32_t index, const char* text);
LEXMILL_API uint8_t lexmill_GetSourceLine(void);
LEXMILL_API void lexmill_SetSourceLine(uint8_t count);
LEXMILL_API size_t lexmill_GetSourceString(int32_t index, char* text, size_t size);
LEXMILL_API void lexmill_SetSourceString(int32_t index, const char* text);
LEXMILL_API uint8_t lexmill_GetMHSLine(void);
LEXMILL_API void lexmill_SetMHSLine(uint8_t count);
LEXMILL_API size_t lexmill_GetMajorHeads(int32_t index, char* text, size_t size);
LEXMILL_API void lexmill_SetMajorHeads(int32_t index, const char* text);
LEXMILL_API size_t lexmill_GetYearVolPage(char* text, size_t size);
LEXMILL_API void lexmill_SetYearVolPage(const char* text);
LEXMILL_API size_t lexmill_GetPages(char* text, size_t size);
LEXMILL_API void lexmill_SetPages(const char* text);
LEXMILL_API size_t lexmill_GetPublCity(char* text, size_t size);
LEXMILL_API void lexmill_SetPublCity(const char* text);

/* What the conversion driver lends the library. Both may be called at any time; a null function
 * restores the default. */

/* The driver's message texts for the library's output (year and source lines of a reference
 * that is not a journal article, its abstract notes, the et-al note and the dump header). Without
 * a function the library uses its own catalogue. */
typedef size_t (*LexmillMessageText)(void* context, uint8_t index, char* text, size_t size);
LEXMILL_API void lexmill_SetMessageTextSource(LexmillMessageText function, void* context);

/* The journal-name look-up used when a journal reference is written: the name in the display
 * form `form` (1 full name ... 5 Chemical Abstracts) copied into `text`; the result is 0 when the
 * name is not known. `displayForm` is the form written into references. Without a function
 * journal names are written as they come. */
typedef uint8_t (*LexmillJournalLookup)(void* context, const char* name, int32_t form, char* text,
                                        size_t size);
LEXMILL_API void lexmill_SetJournalLookup(LexmillJournalLookup function, void* context,
                                          int32_t displayForm);

/* The ordinal table */
typedef void (*LexmillProc)(void);
typedef struct LexmillExport {
    int32_t ordinal;
    const char* name;
    LexmillProc proc; /* cast to the operation's own type before calling */
} LexmillExport;

/* All operations in ordinal order; `count` receives their number. */
LEXMILL_API const LexmillExport* lexmill_Exports(size_t* count);
/* The operation of an ordinal, or null for an ordinal that is not assigned. */
LEXMILL_API LexmillProc lexmill_ProcByOrdinal(int32_t ordinal);

#ifdef __cplusplus
}
#endif
