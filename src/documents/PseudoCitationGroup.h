#pragma once
// The pseudo-citations of references of an open reference file as one group, the way a reference
// window copies them for pasting into a manuscript.

#include "documents/PseudoCitation.h"
#include "formats/Renderer.h"
#include "text/Outcome.h"

#include <string>
#include <vector>

namespace cvx {

class TReferenceFile;

struct PseudoCitationGroup {
    std::vector<int> numbers; // the references, from 1 in file order
    // The option, its text and the group flags of every one; its file is the reference file as
    // the user names it (empty: the open file's name), made a full path.
    PseudoCitationRequest pattern;
    bool hide = false; // the setting "Hide references in pseudo-citations"
};

// The group's text in UTF-8: the file by its full path as the system has it, each author-year
// label (rendered with `labels`, the clipboard's setting) converted to match.
Outcome BuildPseudoCitationGroup(const TReferenceFile& file, const PseudoCitationGroup& group,
                                 const RenderOptions& labels, std::string& text);

} // namespace cvx
