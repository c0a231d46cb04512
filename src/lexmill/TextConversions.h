#pragma once
// Text conversions of the import: the OEM code page (437) of old DOS captures, HTML entities, the
// clean-up of the notations of online hosts (".mu.", ".gtoreq." ...), the diacritic notation of
// ChangeCharSet_D and the decapitalisation of all-capital text. Characters that code page 1252
// lacks become Symbol markup.

#include <string>
#include <string_view>

namespace cvx::lexmill {

// One byte of OEM (code page 437) text as code page 1252, and back. A character the other code
// page lacks becomes the nearest one there.
unsigned char OemToAnsiChar(unsigned char c);
unsigned char AnsiToOemChar(unsigned char c);
std::string OemToAnsi(std::string_view text);
std::string AnsiToOem(std::string_view text);
// True when OEM -> ANSI -> OEM gives the text back (the text may be OEM text).
bool OemRoundTrips(std::string_view text);
// True when ANSI -> OEM -> ANSI gives the text back.
bool AnsiRoundTrips(std::string_view text);

// Removes every "<" ... ">" pair and replaces the entities of HTML result pages.
std::string RemoveMarkup(std::string_view line);
std::string ReplaceEntities(std::string_view line);

// The clean-up of abstract text from online hosts (only for single-byte text).
std::string CleanHostText(std::string_view text);

// Replaces `escape` followed by one of c C e E u U a A o O i I n N by the accented letter.
std::string ChangeCharSetD(std::string_view text, unsigned char escape);

enum class CaseMode { Sentence, Word };

// A title in capitals in title case: every word capitalised except the small words (articles,
// short conjunctions and prepositions: "a", "and", "in", "of", "the", ...) inside the title,
// which are lowered unless they begin it, end it or follow a colon. Text with small letters is
// left as it is.
std::string TitleCase(std::string_view text);

// Lowers all-capital text, keeping a capital at the start and after each terminator (sentence
// mode: ! . : ? and 0xA8; word mode also blank , - / ;). Text with small letters a-z is left as
// it is unless `japanese` is set; in Japanese text double-byte and half-width katakana characters
// are stepped over and count as terminators. Markup codes and Symbol-font text keep their case.
// `capitalNext` carries the state from one line to the next.
std::string Decapitalise(std::string_view text, CaseMode mode, bool japanese, bool& capitalNext);
std::string Decapitalise(std::string_view text, CaseMode mode, bool japanese);

// True when the text holds any of a-z.
bool HasSmallLetters(std::string_view text);

} // namespace cvx::lexmill
