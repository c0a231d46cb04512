#pragma once
// Downloads in a legacy double-byte code page (GBK, Big5, Shift-JIS, EUC-KR and their kin): text
// that is not UTF-8 is recognised by its character statistics (uchardet) and converted with
// iconv, so that it is not read as code page 1252 and written as garbage.

#include <optional>
#include <string>
#include <string_view>

namespace cvx::lexmill {

// The code page 1252 text of a download in a legacy double-byte code page; characters that code
// page 1252 cannot show (Chinese, Japanese, Korean) become "???" marks, one for a run of them, so
// that every reference that had them is questioned. Text that is neither UTF-8 nor recognisable
// keeps its ASCII and has "???" where its other bytes were. Nothing (the text is read as it is)
// for UTF-8 and for single-byte text. `encoding`, when given, receives the code page the text was
// read in (uchardet's name: "GB18030", "BIG5", "SHIFT_JIS", "EUC-KR", ...), empty when it could
// not be told.
std::optional<std::string> LegacyTextToAnsi(std::string_view bytes,
                                            std::string* encoding = nullptr);

} // namespace cvx::lexmill
