#pragma once
// The questions a reference window asks before it deletes or appends references: the question,
// then the references it is about, briefly, so the user sees what the answer touches.

#include <string>
#include <string_view>
#include <vector>

namespace cvx {

// A question names at most this many references.
inline constexpr int kDescribedReferences = 5;

// A reference described by its author-year label (code page 1252): without italics, and with the
// formatter's "et al." marker written out.
std::string ReferenceDescription(std::string_view label);

// The question, a blank line and the descriptions, each on its own line after a tab; when `total`
// references are concerned and more than five, "... and more." after the fifth.
std::string DescribedQuestion(std::string_view question,
                              const std::vector<std::string>& descriptions, int total);

} // namespace cvx
