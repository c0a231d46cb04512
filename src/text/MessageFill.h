#pragma once
// Filling catalogue message templates: "\n" becomes a CR byte, then placeholders are replaced.
// Only the template's placeholders are filled: a value that itself holds "%s2" stays as it is.

#include <string>
#include <string_view>
#include <vector>

namespace cvx {

// Replaces the first "%s".
std::string FillMessage(std::string_view text, std::string_view a);
// Replaces the first "%s1" and the first "%s2" of the template.
std::string FillMessage2(std::string_view text, std::string_view a1, std::string_view a2);
// As FillMessage2, and the first "%s3" of the template.
std::string FillMessage3(std::string_view text, std::string_view a1, std::string_view a2,
                         std::string_view a3);

// How many arguments a template takes: 1 for "%s", the highest of "%s1" to "%s3" otherwise.
int PlaceholderCount(std::string_view text);
// Fills a template the way its placeholders ask for (FillMessage or FillMessage3) with up to
// three arguments; a placeholder without an argument stays as it is.
std::string FillPlaceholders(std::string_view text, const std::vector<std::string>& args);

// Only the line breaks: every two-character "\n" becomes a CR byte.
std::string MessageLineBreaks(std::string_view text);

} // namespace cvx
