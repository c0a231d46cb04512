#pragma once
// The record readers: each cuts the next reference out of the source and leaves its lines in the
// line table in tagged-line form (a field begins on a line that starts with its tag; its further
// lines begin with blanks). There is one reader per family of sources; the driver picks the
// reader and its markers. A reader that finds no record leaves MLine at 0.

#include "lexmill/ConversionState.h"

#include <string>
#include <string_view>

namespace cvx::lexmill {

// Tagged downloads of online hosts (page prompts "MORE", form feeds). The marker may be
// preceded by an alternative marker and "$".
void ReadTheWholeReference(ConversionState& s, std::string_view marker);
void ReadTheWholeReferenceTwoC(ConversionState& s, std::string_view marker1,
                               std::string_view marker2);
void ReadTheWholeCompuServe(ConversionState& s, std::string_view marker);
// CD-ROM page layouts; the marker "\f" selects page mode.
void ReadTheWholeReferenceSP(ConversionState& s, std::string_view marker);
void ReadTheWholeReferenceSPTwoC(ConversionState& s, std::string_view marker1,
                                 std::string_view marker2);
void ReadTheWholeRefDIALOGISI(ConversionState& s, std::string_view marker);
void ReadTheWholeReferenceJICST(ConversionState& s, std::string_view marker);
void ReadTheWholeReferenceRIS(ConversionState& s, std::string_view marker);
void ReadTheWholeReferenceIGAKU(ConversionState& s);
void RefUp_ReadTheWholeReference(ConversionState& s);
// Returns the record's header (from "AN" on), cut to maximumLength.
std::string ReadProbase(ConversionState& s, int maximumLength);
void ReadTaggedRecord(ConversionState& s, std::string_view startMarker, std::string_view endMarker,
                      std::string_view skippedTag);

// Untagged layouts.
void ReadTheWholeReferenceBibl(ConversionState& s);
void ReadBlankLineDelimBlock(ConversionState& s);
void ReadFreeFormatBlock(ConversionState& s, int mode, int charSetMode);
void ReadTheWholeReferenceAAEM(ConversionState& s);
void MicIndexReadTheWholeReference(ConversionState& s);

// HTML result pages.
void ReadTheWholeRef_Entrez(ConversionState& s);
void ReadTheWholeRef_NCBIMed(ConversionState& s);

// The Shift-JIS clean-up of JICST lines: full-width punctuation, digits and letters become their
// single-byte forms.
std::string JicstToSingleByte(std::string_view line);

} // namespace cvx::lexmill
