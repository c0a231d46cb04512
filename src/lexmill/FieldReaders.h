#pragma once
// Field readers: they find a tagged field among the lines of the current record and return its
// text or store it in the collected reference. A missing tag line leaves the field untouched.
// The "Cambridge" readers serve the labelled layout: a two-letter label, ": " and the text, either
// on the label's line or on the lines after it.

#include "lexmill/ConversionState.h"

#include <string>
#include <string_view>

namespace cvx::lexmill {

// A tag that ends in a separator and blanks ("TI  - ", "TI- ", "TI ~ ") also matches a line whose
// value follows the separator without the blank ("TI  -Title"): its stem is the tag without the
// blanks. Other tags are their own stem.
std::string_view TagStem(std::string_view tag);
// How much of a line the tag takes: its length, less the blanks after its separator that the line
// does not have.
std::size_t TagLengthIn(std::string_view text, std::string_view tag);
// The text after the tag, trimmed.
std::string ValueAfterTag(std::string_view text, std::string_view tag);
// The first line of the record that begins with the tag (its stem); -1 when there is none.
int GetTagLine(const ConversionState& s, std::string_view tag);
std::string ReadShortTaggedField(const ConversionState& s, int index);
std::string ReadLongSourceStr(const ConversionState& s, std::string_view tag);
std::string GetIdString(const ConversionState& s, std::string_view tag);
std::string GetLongAutString(ConversionState& s, std::string_view tag);
void ReadTitle(ConversionState& s, std::string_view tag, bool decapitalise);
void ReadLabelledInfo(ConversionState& s, std::string_view tag, std::string_view label,
                      bool decapitalise);
void ReadAdress(ConversionState& s, std::string_view tag);
void ReadLanguage(ConversionState& s, std::string_view tag);
void ReadAbstract(ConversionState& s, std::string_view tag);
void DumpAnAbstract(ConversionState& s, int index, int tagLength, std::string_view continuationTag);
void DumpSourceSection(ConversionState& s, std::string_view tag);

void GetIdStringCambridge(ConversionState& s, std::string_view tag, bool tagOnSameLine);
void ReadTitleCambridge(ConversionState& s, std::string_view tag, bool tagOnSameLine);
void ReadAdressCambridge(ConversionState& s, std::string_view tag, bool tagOnSameLine);
void ReadLanguageCambridge(ConversionState& s, std::string_view tag, bool tagOnSameLine);
void ReadAbstractCambridge(ConversionState& s, std::string_view tag, bool tagOnSameLine);
void DumpSourceSectionCambridge(ConversionState& s, std::string_view tag, bool tagOnSameLine);

} // namespace cvx::lexmill
