#include "formats/RenderJob.h"

#include "refstore/ReferenceJobs.h"
#include "text/LatexText.h"
#include "text/Markup.h"

namespace cvx {

std::string ConvertRendered(std::string_view codes, RenderOutput output) {
    switch (output) {
    case RenderOutput::Plain:
        return CodesToPlainText(codes);
    case RenderOutput::Rtf:
        return CodesToRtf(codes);
    case RenderOutput::Latex:
        return CodesToLatex(codes);
    case RenderOutput::Codes:
        break;
    }
    return std::string(codes);
}

Outcome RenderStoredReference(const TReferenceFile& file, int number, const TFormatDesc& desc,
                              bool longForm, RenderOutput output, RenderOptions options,
                              std::string& text) {
    TRefArrData record;
    if (Outcome r = ReadReference(file, number, record); !r) {
        return r;
    }
    options.latex = output == RenderOutput::Latex;
    std::string codes;
    RenderReference(desc, longForm, record, codes, options);
    text = ConvertRendered(codes, output);
    return Outcome::Ok();
}

Outcome LabelOfReference(const TReferenceFile& file, int number, const RenderOptions& options,
                         std::string& label) {
    TRefArrData record;
    if (Outcome r = ReadReference(file, number, record); !r) {
        return r;
    }
    label = AuthorYearLabel(record, options);
    return Outcome::Ok();
}

} // namespace cvx
