#pragma once
// Word-processor documents (Office Open XML .docx and OpenDocument .odt) as completion reads and
// writes them. Reading gathers the text that a reader of the document sees into one UTF-8 text,
// a line per paragraph, in document order with footnotes and endnotes at their anchors: the text
// of a paragraph is joined across runs, spell-check marks, bookmarks and fields (their results,
// not their codes), hidden text counts, and of tracked changes only insertions do. The completion
// scans that text like a plain manuscript; writing then puts every citation group into the
// document as runs in the formatting of the run where its pseudo-citation began (the format's
// citation styles added) and the reference list as paragraphs at the marker. Everything outside
// the replaced text is written back as it was read.

#include "documents/CompoundFile.h"
#include "documents/WordParagraphs.h"
#include "documents/ZipPackage.h"
#include "text/Outcome.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace cvx {

// One replacement, in offsets of the gathered text.
struct WordReplacement {
    std::size_t start = 0;
    std::size_t end = 0;
    std::string citation;             // marked-up code page 1252 text; may be empty
    std::vector<std::string> entries; // reference-list entries, each with its paragraph code
    bool list = false;                // the span is the reference-list marker's group
};

class WordDocument {
public:
    WordDocument();
    ~WordDocument();
    WordDocument(const WordDocument&) = delete;
    WordDocument& operator=(const WordDocument&) = delete;

    // Reads the container in `bytes`; `shown` names the document in messages. A damaged
    // container, a part that is missing or not well-formed XML, entity declarations and
    // encryption all fail with the message to show, and so does a binary Word 97 document (a
    // compound file), whose name should say .doc.
    Outcome Load(std::string bytes, const std::string& shown);

    WordFormat Format() const { return format_; }

    // What a reader of the document sees, a line per paragraph (UTF-8).
    const std::string& Text() const { return text_; }

    // The document's container with the replacements made (in order, not overlapping).
    Outcome Write(const std::vector<WordReplacement>& replacements, std::string& out) const;

    struct Part;

private:
    Outcome LoadPart(const std::string& name, bool required);
    void Gather();

    WordFormat format_ = WordFormat::Docx;
    std::string shown_;
    ZipPackage package_;
    std::vector<std::unique_ptr<Part>> parts_;
    std::string text_;
    // Where each piece of the gathered text starts, and which piece it is.
    struct Span {
        std::size_t start = 0;
        int part = 0;
        int piece = 0;
    };
    std::vector<Span> spans_;
};

// True when the bytes start like a zip container.
bool LooksLikeZip(std::string_view bytes);

} // namespace cvx
