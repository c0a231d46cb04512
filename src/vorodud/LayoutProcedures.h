#pragma once
// The procedures of the older layouts: captures of online host sessions, CD-ROM printouts, HTML
// result pages, the Japanese services, the positional and labelled layouts and reference lists
// in running text. Each reads its records with the Lexmill reader made for the layout and fills
// the reference with Lexmill's field readers.

#include "vorodud/Procedure.h"

#include <functional>
#include <string>
#include <string_view>

namespace cvx::vorodud {

// The tags of a layout's fields as its reader leaves them; an empty tag: the layout has no such
// field.
struct LayoutTags {
    std::string_view id{};
    std::string_view title{};
    std::string_view authors{};
    std::string_view source{};  // the citation: journal, year, volume, issue, pages
    std::string_view journal{}; // a journal line of its own before the citation
    std::string_view abstract{};
    std::string_view address{};
    std::string_view language{};
    std::string_view keywords{};
    // Fields of their own for the citation (instead of one source field).
    std::string_view volume{};
    std::string_view issue{};
    std::string_view pages{};
    std::string_view year{};
    bool decapitaliseTitle = false;
};

class TaggedLayoutProcedure : public Procedure {
public:
    // `read` calls the layout's record reader; `diacritic` is the escape character of the
    // layout's diacritic notation (0: none).
    TaggedLayoutProcedure(std::function<void()> read, LayoutTags tags,
                          TextMode charSet = TextMode::Ansi, unsigned char diacritic = 0);

    TextMode CharSet() const override { return charSet_; }
    void Begin(const std::string& source) override;

protected:
    void ReadRecord() override { read_(); }
    bool Fill() override;
    // A field's text with the layout's diacritic notation made into letters.
    std::string WithDiacritics(std::string text) const;

    std::function<void()> read_;
    LayoutTags tags_;
    TextMode charSet_;
    unsigned char diacritic_;
};

// MEDLINE records as online hosts and our own export write them ("UI  - ", "TI  - "): a record
// with a book title ("BK  - ") is a chapter, or a book when it has no title of its own, whose
// source line names the publisher and city ("Springer, Berlin 2009;265-302"); the others are
// journal articles.
class HostMedlineProcedure final : public TaggedLayoutProcedure {
public:
    HostMedlineProcedure();

protected:
    bool Fill() override;
};

// Probase records carry their accession number in the header that the reader returns.
class ProbaseProcedure final : public TaggedLayoutProcedure {
public:
    ProbaseProcedure();

protected:
    bool Fill() override;

private:
    std::string header_;
};

// Library catalogue records (Copac): books with their publisher.
class CopacProcedure final : public Procedure {
protected:
    void ReadRecord() override;
    bool Fill() override;
};

// The labelled records of CD-ROM services ("TI:  text"), read with the labelled-layout readers.
class LabelledRecordsProcedure final : public Procedure {
protected:
    void ReadRecord() override;
    bool Fill() override;
};

// References written as running text: word-processor reference lists, blocks of DOS text,
// numbered lists.
class FreeCitationProcedure final : public Procedure {
public:
    explicit FreeCitationProcedure(std::function<void()> read) : read_(std::move(read)) {}

protected:
    void ReadRecord() override { read_(); }
    bool Fill() override;
    // A field's text with the layout's diacritic notation made into letters.
    std::string WithDiacritics(std::string text) const;

private:
    std::function<void()> read_;
};

} // namespace cvx::vorodud
