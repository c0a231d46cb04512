#pragma once
// What the create-pseudo-citations dialog shows while the user chooses: the citation that the
// chosen option will give in an author-year and in a numbered journal format, and which option a
// typed text stands for.

#include <string>
#include <string_view>

namespace cvx {

struct CitationSamples {
    std::string authorYear; // code page 1252
    std::string numbered;
};

// The samples for an option of PseudoCitation.h with its text, for one reference or, with
// `several`, for two.
CitationSamples SampleCitations(int option, std::string_view text, bool skipEnclosure,
                                bool several);

// A text written after the citation begins with a blank, "," or ":"; any other is written before.
bool IsTextAfter(std::string_view text);

// The option a typed text chooses: none for an empty text, else a text before or after.
int OptionForText(std::string_view text);

} // namespace cvx
