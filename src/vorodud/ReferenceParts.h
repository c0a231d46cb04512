#pragma once
// The pieces of a reference as the driver's procedures gather them, and the helpers that put
// them into the shapes a reference file wants: author names as "Smith, J A.", the year line
// "1998 (12(3)) pp 123-129", journal citations taken apart.

#include <string>
#include <string_view>
#include <vector>

namespace cvx::vorodud {

enum class ReferenceKind { Journal, Chapter, Monograph };

struct Reference {
    ReferenceKind kind = ReferenceKind::Journal;
    std::string id;
    std::vector<std::string> authors; // each already formatted
    std::vector<std::string> editors; // each already formatted
    std::string title;
    std::string journal;
    std::string bookTitle; // of a chapter or monograph
    std::string year;
    std::string volume;
    std::string issue;
    std::string pages;
    std::string publisher;
    std::string city;
    std::vector<std::string> abstract; // paragraphs
    std::string address;
    std::vector<std::string> keywords;
    std::string language;
};

// "Smith, J A." from "Smith, John A.", "Smith JA", "Smith J.A.", "John A. Smith" or
// "Smith, Jr, John"; a name that is a single word becomes a corporate name. Empty for an empty
// name.
std::string FormatAuthorName(std::string_view name);
// A corporate author: "\"World Health Organization\".".
std::string CorporateAuthor(std::string_view name);

// The first year (a four-digit number from 1500 to 2099) in a text.
std::string FirstYear(std::string_view text);

// "1998 (12(3)) pp 123-129"; an unknown year is written "" (two double quotes).
std::string YearLine(const Reference& ref, std::string_view pages);

// A title that ends in ".", "?" or "!".
std::string EndSentence(std::string_view text);

// Text with a digit in it, else empty (for page and volume fields that say "No pagination").
std::string WithDigits(std::string_view text);

// A journal citation such as "Nature 1998 Jan 15;391(6664):223-7" or
// "IEEE-Trans-Biomed-Eng., 1993;40(6) : 529-540" taken apart into journal, year, volume, issue
// and pages.
struct Citation {
    std::string journal;
    std::string year;
    std::string volume;
    std::string issue;
    std::string pages;
};
Citation ParseCitation(std::string_view text);

// A reference written as running text in the Vancouver style: "Smith J, Jones K. Title.
// Journal 1998;12(3):123-9." (a list number in front is dropped). Without a year the result has
// no title, and so is not a reference.
Reference ParseFreeCitation(std::string_view text);

// Splits an author list written "A and B and C" or "A; B; C".
std::vector<std::string> SplitNameList(std::string_view text);

} // namespace cvx::vorodud
