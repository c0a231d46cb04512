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
 * - Each operation has an ordinal (the number in its comment); LexmillProcByOrdinal maps it to
 *   the operation, since this platform's loader binds by name only.
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
LEXMILL_API uint8_t PrepareReadWrite(const char* source, const char* output,
                                     uint8_t append);  /* 18: 0 ok, 2 no memory, 3 no output */
LEXMILL_API void CloseFiles(void);                     /* 75 */
LEXMILL_API void CloseErrorFile(void);                 /* 19 */
LEXMILL_API void Terminate(const char* message);       /* 17 */
LEXMILL_API void FileAppendCRLF(void);                 /* 120 */
LEXMILL_API int32_t GetFileSize(const char* fileName); /* 105 */
LEXMILL_API int32_t GetInSize(void);                   /* 73 */
LEXMILL_API int32_t GetAbsPos(void);                   /* 74 */
LEXMILL_API size_t GetDumpFileName(char* text, size_t size); /* 136 */
LEXMILL_API uint8_t GetFilSlut(void);                        /* 62 */
LEXMILL_API uint8_t SetFilSlut(void);                        /* 72 */
LEXMILL_API uint8_t GetInRef(void);                          /* 63 */
LEXMILL_API size_t GetCurRef(char* text, size_t size);       /* 91 */

/* Settings */
LEXMILL_API void SetConvCharSet(uint8_t charSet);         /* 131 */
LEXMILL_API uint8_t GetConvCharSet(void);                 /* 132 */
LEXMILL_API void SetDoDiac(uint8_t on);                   /* 114 */
LEXMILL_API void SetDiacChar(uint8_t escape);             /* 115 */
LEXMILL_API uint8_t GetDiacChar(void);                    /* 116 */
LEXMILL_API void SetLanguage(const char* language);       /* 117 */
LEXMILL_API void SetAddLangToTitle(uint8_t on);           /* 118 */
LEXMILL_API void SetCommonLabel(const char* label);       /* 112 */
LEXMILL_API void SetErrorFile(const char* fileName);      /* 124 */
LEXMILL_API void SetDefaultErrDirectory(const char* dir); /* 111: no effect */
LEXMILL_API void ChangeBuffertToOem(void);                /* 128: no effect */
LEXMILL_API void SetSkipThisRef(void);                    /* 45 */
LEXMILL_API void SetEtAlAuthors(void);                    /* 85 */
LEXMILL_API void IncNotJournals(void);                    /* 98 */
LEXMILL_API void ResetCollectData(void);                  /* 4 */

/* Record readers */
LEXMILL_API void ReadTheWholeReference(const char* marker);                             /* 21 */
LEXMILL_API void ReadTheWholeReferenceTwoC(const char* marker1, const char* marker2);   /* 22 */
LEXMILL_API void ReadTheWholeCompuServe(const char* marker);                            /* 23 */
LEXMILL_API void ReadTheWholeReferenceSP(const char* marker);                           /* 24 */
LEXMILL_API void ReadTheWholeReferenceSPTwoC(const char* marker1, const char* marker2); /* 137 */
LEXMILL_API void ReadTheWholeReferenceBibl(void);                                       /* 110 */
LEXMILL_API void ReadBlankLineDelimBlock(void);                                         /* 133 */
LEXMILL_API void ReadFreeFormatBlock(uint8_t mode, uint8_t charSetMode);                /* 134 */
LEXMILL_API void ReadTheWholeReferenceAAEM(void);                                       /* 113 */
LEXMILL_API void MicIndexReadTheWholeReference(void);                                   /* 102 */
LEXMILL_API void RefUp_ReadTheWholeReference(void);                                     /* 119 */
LEXMILL_API void ReadTheWholeRef_Entrez(void);                                          /* 127 */
LEXMILL_API void ReadTheWholeRef_NCBIMed(void);                                         /* 122 */
LEXMILL_API void ReadTheWholeRefDIALOGISI(const char* marker);                          /* 123 */
LEXMILL_API size_t ReadProbase(char* header, size_t size, int32_t maximumLength);       /* 126 */
LEXMILL_API void ReadTheWholeReferenceJICST(const char* marker);                        /* 129 */
LEXMILL_API void ReadTheWholeReferenceRIS(const char* marker);                          /* 130 */
LEXMILL_API void ReadTheWholeReferenceIGAKU(void);                                      /* 135 */
/* Records of today's tagged downloads: blocks of tag lines that end at a blank line, at a line
 * starting with `endMarker` (which belongs to the record) or before a line starting with
 * `startMarker`; the lines of a field tagged `skippedTag` (a field that is never converted, such
 * as cited references) are consumed without taking room in the line table. Empty markers are
 * not used. */
LEXMILL_API void ReadTaggedRecord(const char* startMarker, const char* endMarker,
                                  const char* skippedTag); /* 138 */

/* Field readers */
LEXMILL_API int32_t GetTagLine(const char* tag);                                 /* 29 */
LEXMILL_API size_t ReadShortTaggedField(int32_t index, char* text, size_t size); /* 30 */
LEXMILL_API size_t ReadLongSourceStr(const char* tag, char* text, size_t size);  /* 31 */
LEXMILL_API size_t GetIdString(const char* tag, char* text, size_t size);        /* 32 */
LEXMILL_API size_t GetLongAutString(const char* tag, char* text, size_t size);   /* 33 */
LEXMILL_API void ReadTitle(const char* tag, uint8_t decapitalise);               /* 34 */
LEXMILL_API void ReadLabelledInfo(const char* tag, const char* label,
                                  uint8_t decapitalise); /* 35 */
LEXMILL_API void ReadAdress(const char* tag);            /* 37 */
LEXMILL_API void ReadLanguage(const char* tag);          /* 38 */
LEXMILL_API void ReadAbstract(const char* tag);          /* 41 */
LEXMILL_API void DumpAnAbstract(int32_t index, uint8_t tagLength,
                                const char* continuationTag);                        /* 40 */
LEXMILL_API void DumpSourceSection(const char* tag);                                 /* 42 */
LEXMILL_API void ReadAbstractCambridge(const char* tag, uint8_t tagOnSameLine);      /* 92 */
LEXMILL_API void DumpSourceSectionCambridge(const char* tag, uint8_t tagOnSameLine); /* 93 */
LEXMILL_API void GetIdStringCambridge(const char* tag, uint8_t tagOnSameLine);       /* 94 */
LEXMILL_API void ReadAdressCambridge(const char* tag, uint8_t tagOnSameLine);        /* 95 */
LEXMILL_API void ReadLanguageCambridge(const char* tag, uint8_t tagOnSameLine);      /* 96 */
LEXMILL_API void ReadTitleCambridge(const char* tag, uint8_t tagOnSameLine);         /* 97 */

/* Field builders and text conversions */
LEXMILL_API void AddToAuthors(const char* text);                                 /* 76 */
LEXMILL_API void AddToEditors(const char* text);                                 /* 107 */
LEXMILL_API void AddToMajorHeads(const char* text);                              /* 77 */
LEXMILL_API void DumpAddress(const char* text);                                  /* 36 */
LEXMILL_API void DumpTitle(const char* text);                                    /* 121 */
LEXMILL_API void DumpLongJournalName(const char* text);                          /* 39 */
LEXMILL_API void DumpToSource(const char* text);                                 /* 106 */
LEXMILL_API void DumpStringToAbstract(const char* text);                         /* 109 */
LEXMILL_API void DoExpandPages(void);                                            /* 48 */
LEXMILL_API size_t ChangeCharSet_D(const char* source, char* text, size_t size); /* 1 */
LEXMILL_API void DecapitalizeTitle(void);                                        /* 13 */
LEXMILL_API void DecapitalizeAbstract(uint8_t first);                            /* 12 */

/* Output */
LEXMILL_API void WriteToFile(void);            /* 20 */
LEXMILL_API uint8_t WriteErrorFileError(void); /* 125 */
/* The first fatal error reported to Terminate in this run (a source that cannot be opened, a
 * failed write); true when there was one. The run stops at such an error. */
LEXMILL_API uint8_t GetRunError(char* text, size_t size); /* 141 */

/* Counters */
LEXMILL_API int32_t GetRefsWritten(void);      /* 84 */
LEXMILL_API int32_t GetRefsDumped(void);       /* 82 */
LEXMILL_API int32_t GetRefsQuestioned(void);   /* 83 */
LEXMILL_API int32_t GetRefsEtAl(void);         /* 86 */
LEXMILL_API int32_t GetRefsWrongJournal(void); /* 87 */
LEXMILL_API int32_t GetIncomplete(void);       /* 108 */

/* Line table and collected reference; the collected arrays start at 1 */
LEXMILL_API uint16_t GetMLine(void);                                        /* 56 */
LEXMILL_API size_t GetAllLines(int32_t index, char* text, size_t size);     /* 51 */
LEXMILL_API void SetAllLines(int32_t index, const char* text);              /* 88 */
LEXMILL_API void SetIdString(const char* text);                             /* 57 */
LEXMILL_API size_t GetIdStrContent(char* text, size_t size);                /* 101 */
LEXMILL_API uint8_t GetAutLineNumb(void);                                   /* 25 */
LEXMILL_API void SetAutLineNumb(uint8_t count);                             /* 26 */
LEXMILL_API size_t GetAutString(int32_t index, char* text, size_t size);    /* 27 */
LEXMILL_API void SetAutString(int32_t index, const char* text);             /* 28 */
LEXMILL_API uint8_t GetTitleLineNumb(void);                                 /* 59 */
LEXMILL_API void SetTitleLineNumb(uint8_t count);                           /* 58 */
LEXMILL_API size_t GetTitleString(int32_t index, char* text, size_t size);  /* 61 */
LEXMILL_API void SetTitleString(int32_t index, const char* text);           /* 60 */
LEXMILL_API uint8_t GetAbstrLineNumb(void);                                 /* 65 */
LEXMILL_API void SetAbstrLineNumb(uint8_t count);                           /* 64 */
LEXMILL_API size_t GetAbstrString(int32_t index, char* text, size_t size);  /* 67 */
LEXMILL_API void SetAbstrString(int32_t index, const char* text);           /* 66 */
LEXMILL_API uint8_t GetAdrLineNumb(void);                                   /* 69 */
LEXMILL_API void SetAdrLineNumb(uint8_t count);                             /* 68 */
LEXMILL_API size_t GetAdrString(int32_t index, char* text, size_t size);    /* 71 */
LEXMILL_API void SetAdrString(int32_t index, const char* text);             /* 70 */
LEXMILL_API uint8_t GetEditLineNumb(void);                                  /* 79 */
LEXMILL_API void SetEditLineNumb(uint8_t count);                            /* 78 */
LEXMILL_API size_t GetEditString(int32_t index, char* text, size_t size);   /* 81 */
LEXMILL_API void SetEditString(int32_t index, const char* text);            /* 80 */
LEXMILL_API uint8_t GetSourceLine(void);                                    /* 99 */
LEXMILL_API void SetSourceLine(uint8_t count);                              /* 100 */
LEXMILL_API size_t GetSourceString(int32_t index, char* text, size_t size); /* 43 */
LEXMILL_API void SetSourceString(int32_t index, const char* text);          /* 44 */
LEXMILL_API uint8_t GetMHSLine(void);                                       /* 52 */
LEXMILL_API void SetMHSLine(uint8_t count);                                 /* 53 */
LEXMILL_API size_t GetMajorHeads(int32_t index, char* text, size_t size);   /* 55 */
LEXMILL_API void SetMajorHeads(int32_t index, const char* text);            /* 54 */
LEXMILL_API size_t GetYearVolPage(char* text, size_t size);                 /* 49 */
LEXMILL_API void SetYearVolPage(const char* text);                          /* 50 */
LEXMILL_API size_t GetPages(char* text, size_t size);                       /* 47 */
LEXMILL_API void SetPages(const char* text);                                /* 46 */
LEXMILL_API size_t GetPublCity(char* text, size_t size);                    /* 90 */
LEXMILL_API void SetPublCity(const char* text);                             /* 89 */

/* What the conversion driver lends the library. Both may be called at any time; a null function
 * restores the default. */

/* The driver's message texts for the library's output (year and source lines of a reference
 * that is not a journal article, its abstract notes, the et-al note and the dump header). Without
 * a function the library uses its own catalogue. */
typedef size_t (*LexmillMessageText)(void* context, uint8_t index, char* text, size_t size);
LEXMILL_API void SetMessageTextSource(LexmillMessageText function, void* context); /* 139 */

/* The journal-name look-up used when a journal reference is written: the name in the display
 * form `form` (1 full name ... 5 Chemical Abstracts) copied into `text`; the result is 0 when the
 * name is not known. `displayForm` is the form written into references. Without a function
 * journal names are written as they come. */
typedef uint8_t (*LexmillJournalLookup)(void* context, const char* name, int32_t form, char* text,
                                        size_t size);
LEXMILL_API void SetJournalLookup(LexmillJournalLookup function, void* context,
                                  int32_t displayForm); /* 140 */

/* The ordinal table */
typedef void (*LexmillProc)(void);
typedef struct LexmillExport {
    int32_t ordinal;
    const char* name;
    LexmillProc proc; /* cast to the operation's own type before calling */
} LexmillExport;

/* All operations in ordinal order; `count` receives their number. */
LEXMILL_API const LexmillExport* LexmillExports(size_t* count);
/* The operation of an ordinal, or null for an ordinal that is not assigned. */
LEXMILL_API LexmillProc LexmillProcByOrdinal(int32_t ordinal);

#ifdef __cplusplus
}
#endif
