#include "documents/PseudoCitationGroup.h"

#include "refstore/ReferenceJobs.h"
#include "text/Cp1252.h"

#include <filesystem>

namespace cvx {

namespace {

// The reference file as a pseudo-citation names it: the full path, as a reference window has
// the file open.
std::string FullPath(const std::string& name) {
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(name, ec);
    return ec ? name : full.lexically_normal().string();
}

} // namespace

Outcome BuildPseudoCitationGroup(const TReferenceFile& file, const PseudoCitationGroup& group,
                                 const RenderOptions& labels, std::string& text) {
    PseudoCitationRequest pattern = group.pattern;
    pattern.file = FullPath(pattern.file.empty() ? file.FileName() : pattern.file);
    std::vector<PseudoCitationRequest> requests;
    for (int number : group.numbers) {
        TRefArrData record;
        if (Outcome r = ReadReference(file, number, record); !r) {
            return r;
        }
        PseudoCitationRequest request = pattern;
        request.number = number;
        request.label = Cp1252ToUtf8(AuthorYearLabel(record, labels));
        requests.push_back(std::move(request));
    }
    return BuildPseudoCitations(requests, group.hide, text);
}

} // namespace cvx
