#pragma once
// Filling catalogue message templates: "\n" becomes a CR byte, then placeholders are replaced.

#include <string>
#include <string_view>

namespace cvx {

// Replaces the first "%s".
std::string FillMessage(std::string_view text, std::string_view a);
// Replaces the first "%s1", then the first "%s2" of the result.
std::string FillMessage2(std::string_view text, std::string_view a1, std::string_view a2);
// As FillMessage2, then the first "%s3".
std::string FillMessage3(std::string_view text, std::string_view a1, std::string_view a2,
                         std::string_view a3);

// Only the line breaks: every two-character "\n" becomes a CR byte.
std::string MessageLineBreaks(std::string_view text);

} // namespace cvx
