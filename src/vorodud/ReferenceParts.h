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
    std::vector<std::string> authors;       // each already formatted
    std::vector<std::string> editors;       // each already formatted
    std::vector<std::string> seriesEditors; // each already formatted
    std::string title;
    std::string translatedTitle;
    std::string journal;
    std::string bookTitle; // of a chapter or monograph
    std::string year;
    std::string volume;
    std::string issue;
    std::string pages;
    // An article number: a journal article's pages when it has no pages; the number of any other
    // work, like `number`.
    std::string articleNumber;
    // A report, patent or series number: a line of the comments of a work without a journal,
    // where an issue goes too (a journal article has its issue and no other number).
    std::string number;
    std::string publisher;
    std::string city;
    std::vector<std::string> abstract; // paragraphs
    std::string address;
    std::vector<std::string> keywords;
    std::string language;
    std::vector<std::string> notes; // comment lines after the abstract (a URL, other names)
    bool etAl = false;              // the source's author list ended in "et al."
};

// "Smith, J A." from "Smith, John A.", "Smith JA", "Smith J.A.", "John A. Smith" or
// "Smith, Jr, John"; "Jr", "Sr", "II", "III" and "IV" (MEDLINE's "2nd", "3rd", "4th" too) stay
// with the last name ("Smith Jr, J.") wherever the name has them: "Smith J Jr", "Smith, J Jr",
// "Smith, John, Jr.", "Smith, III, John", "John Smith III";
// text in parentheses (an e-mail address, an editor mark) is dropped; a name that is a single
// word or a body's name ("University of X. Department of Y") becomes a corporate name. Empty for
// an empty name and for "et al.".
std::string FormatAuthorName(std::string_view name);
// Text without its parenthesised parts: in a person's name an e-mail address or an editor mark
// "(ed)".
std::string StripParenthesised(std::string_view text);
// "et al." written as a name: the list was longer.
bool IsEtAl(std::string_view name);
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

// The first year among texts, in their order.
std::string FirstYearOf(const std::vector<std::string>& texts);

// The first page range of a page text: dashes of any kind become "-", and a list ("94-98, 93")
// keeps its first range, never a number made of two.
std::string FirstPageRange(std::string_view pages);
// Whether a page text is a list whose first range leaves some of it out ("94-98, 93",
// "123-5; discussion 126").
bool IsPageList(std::string_view pages);

// A volume written with its issue ("50(2)") split in two; the issue given apart wins.
void SplitVolumeIssue(std::string& volume, std::string& issue);

// An article number ("e00466", "41103-1") as a reference's pages: letters and digits without
// blanks, slashes or parentheses, and not longer than a page text can be.
bool IsArticleNumber(std::string_view text);

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
// The page text at the start of a citation's rest: the first range and the parts of a list after
// it ("529-40, 545", "123-5; discussion 126"), up to the end of the sentence or a part that is no
// page, such as the date after Ovid's pages ("1048-64, September 2015" gives "1048-64"; `year` is
// the citation's year).
std::string PageTextAt(std::string_view text, std::string_view year);
// Reads a volume and its issue in parentheses ("40(6)") from the start of a citation's rest up
// to the first of `stops`; the result is where reading ended.
std::size_t ReadVolumeAndIssue(std::string_view rest, std::string_view stops, Citation& c);

// The texts joined by single blanks.
std::string JoinedWithBlanks(const std::vector<std::string>& texts);

// A reference written as running text in the Vancouver style: "Smith J, Jones K. Title.
// Journal 1998;12(3):123-9." (a list number in front is dropped). Without a year the result has
// no title, and so is not a reference.
Reference ParseFreeCitation(std::string_view text);

// Splits an author list written "A and B and C" or "A; B; C".
std::vector<std::string> SplitNameList(std::string_view text);
// The parts of a text between separators, trimmed; empty parts are left out.
std::vector<std::string> SplitTrimmed(std::string_view text, char separator);

// A publisher and its place written "publisher, city" ("Springer, Berlin, Heidelberg", "Swiss
// Agency for Environment, Forest and Landscape SAEFL, Berne"): the city is the last part and the
// parts before it that name places too, words with capitals that name no body ("Inc.", "Press");
// the first part always names the publisher, even when empty (", Berlin").
struct PublisherPlace {
    std::string publisher;
    std::string city;
};
PublisherPlace SplitPublisherAndCity(std::string_view text);

} // namespace cvx::vorodud
