#pragma once
// Rendering a stored reference the way the front ends show it: reference N of an open reference
// file under a format, its markup codes converted for the output asked for, and its author-year
// label.

#include "formats/FormatDesc.h"
#include "formats/Renderer.h"
#include "text/Outcome.h"

#include <string>
#include <string_view>

namespace cvx {

class TReferenceFile;

// What the markup codes of a rendering become.
enum class RenderOutput { Codes, Plain, Rtf, Latex };

// The rendered text for an output (Codes leaves it as it is).
std::string ConvertRendered(std::string_view codes, RenderOutput output);

// Reference `number` (from 1, file order) rendered in its long or short form for `output`;
// LaTeX output resolves "et al." for LaTeX whatever `options.latex` says.
Outcome RenderStoredReference(const TReferenceFile& file, int number, const TFormatDesc& desc,
                              bool longForm, RenderOutput output, RenderOptions options,
                              std::string& text);

// The author-year label of reference `number`, with its markup codes.
Outcome LabelOfReference(const TReferenceFile& file, int number, const RenderOptions& options,
                         std::string& label);

} // namespace cvx
