// The record readers of untagged layouts: word-processor bibliographies, blank-line separated
// blocks, free-format and numbered lists, the positional layout and the labelled layout. Readers
// of layouts without tags synthesise them.

#include "lexmill/FieldBuilders.h"
#include "lexmill/ReaderSteps.h"
#include "lexmill/RecordReaders.h"
#include "lexmill/TextConversions.h"
#include "text/StringPrimitives.h"

#include <array>
#include <utility>

namespace cvx::lexmill {

using namespace steps;

namespace {

// Reads to the first non-blank line; false at the end of the source.
bool FirstNonBlankLine(ConversionState& s, std::string& line) {
    return FindRecordStart(s, line, [](const std::string& l) { return !IsBlankLine(l); });
}

// The tag line of the field that the last stored line belongs to.
std::string LastField(const ConversionState& s) {
    for (int i = s.mLine - 1; i >= 0; --i) {
        if (!StartsWith(s.Line(i), "    ")) {
            return s.Line(i);
        }
    }
    return {};
}

} // namespace

void ReadTheWholeReferenceBibl(ConversionState& s) {
    if (!s.BeginRecord()) {
        return;
    }
    std::string line;
    while (true) {
        s.ReadSourceLine(line);
        s.SetFilSlut();
        if (!IsBlankLine(line)) {
            break;
        }
        if (s.FilSlut()) {
            return;
        }
    }
    auto storePiece = [&](std::string piece) {
        if (StartsWith(piece, "#L#")) {
            piece.erase(0, 3);
        }
        if (!piece.empty()) {
            Store(s, piece);
        }
    };
    bool first = true;
    while (true) {
        std::string text = TrimBlanks(line);
        if (!first && StartsWith(text, "#L#")) {
            break;
        }
        first = false;
        while (text.size() > 79) {
            fields::Cut cut = fields::CutAtBreak(text, 79);
            storePiece(std::move(cut.line));
            text = std::move(cut.rest);
        }
        storePiece(std::move(text));
        if (s.FilSlut()) {
            break;
        }
        s.ReadSourceLine(line);
        s.SetFilSlut();
        if (IsBlankLine(line)) {
            break;
        }
    }
}

void ReadBlankLineDelimBlock(ConversionState& s) {
    if (!s.BeginRecord()) {
        return;
    }
    std::string line;
    if (!FirstNonBlankLine(s, line)) {
        return;
    }
    bool afterBackslash = false;
    while (true) {
        for (std::string piece : Pieces(line, 80, 80, 79)) {
            if (OemRoundTrips(piece)) {
                piece = OemToAnsi(piece);
            }
            if (afterBackslash) {
                piece.insert(0, 1, ' ');
            }
            afterBackslash = piece.ends_with('\\');
            if (!piece.empty()) {
                Store(s, piece);
            }
        }
        if (!NextLine(s, line) || IsBlankLine(line)) {
            break;
        }
    }
}

namespace {

// The character-level reading of ReadFreeFormatBlock.
class FreeFormatReader {
public:
    FreeFormatReader(ConversionState& s, int mode) : s_(s), mode_(mode), memory_(s.freeFormat) {}

    void Read() {
        if (!memory_.carried.empty()) {
            buffer_ = std::move(memory_.carried);
            memory_.carried.clear();
            lineStart_ = false;
            firstLineOfRecord_ = false;
        }
        while (!ended_) {
            const int c = Next();
            if (c < 0) {
                StoreBuffer();
                break;
            }
            if (c == '\r' || c == '\n') {
                LineBreak(c);
            } else if (IsSpace(c)) {
                if (lineStart_) {
                    indentation_ += c == '\t' ? 100 : 1;
                } else {
                    Append(' ');
                }
            } else {
                Visible(c);
            }
            if (stored_ > 200) {
                break;
            }
        }
    }

private:
    static bool IsSpace(int c) { return c <= 32 || c == '_' || c == 0xFF; }

    int Next() {
        if (lookahead_ >= 0) {
            return std::exchange(lookahead_, -1);
        }
        return s_.ReadSourceChar();
    }

    void LineBreak(int c) {
        // CR LF and LF CR are one line break.
        const int after = Next();
        if (after >= 0 && after + c != 23) {
            lookahead_ = after;
        }
        StoreBuffer();
        ++breaks_;
        lineStart_ = true;
        indentation_ = 0;
        if ((mode_ == 1 && stored_ > 0) || (mode_ == 0 && breaks_ >= 2 && stored_ > 0)) {
            ended_ = true;
        }
    }

    void Visible(int c) {
        if (lineStart_) {
            lineStart_ = false;
            breaks_ = 0;
            if (StartOfLine(c)) {
                return;
            }
        }
        Append(static_cast<char>(c));
    }

    // A visible character at the start of a line: decides whether the line starts the next
    // record. True when it did (what was read of it is carried to the next record).
    bool StartOfLine(int c) {
        const bool firstLine = firstLineOfRecord_ && stored_ == 0 && buffer_.empty();
        firstLineOfRecord_ = false;
        if (mode_ == 4) {
            if (memory_.indentation < 0) {
                memory_.indentation = indentation_;
            } else if (!firstLine && indentation_ == memory_.indentation) {
                memory_.carried = std::string(1, static_cast<char>(c));
                ended_ = true;
                return true;
            }
            return false;
        }
        if ((mode_ != 2 && mode_ != 3) || !IsDigit(static_cast<char>(c))) {
            return false;
        }
        std::string digits(1, static_cast<char>(c));
        int d = Next();
        while (d >= 0 && IsDigit(static_cast<char>(d)) && digits.size() < 9) {
            digits.push_back(static_cast<char>(d));
            d = Next();
        }
        const long number = std::stol(digits);
        const bool delimiter = d >= 0 && std::string_view(" ),.:;").find(static_cast<char>(d)) !=
                                             std::string_view::npos;
        if (firstLine) {
            if (delimiter) {
                memory_.number = number;
                memory_.delimiter = static_cast<char>(d);
            }
        } else if (delimiter &&
                   ((mode_ == 2 && memory_.number >= 0 && number == memory_.number + 1) ||
                    (mode_ == 3 && number < 1800 && d == memory_.delimiter))) {
            memory_.carried = digits + static_cast<char>(d) + " ";
            memory_.number = number;
            ended_ = true;
            return true;
        }
        buffer_ += digits;
        lookahead_ = d;
        return true;
    }

    void Append(char c) {
        if (c == ' ' && (buffer_.empty() || buffer_.back() == ' ')) {
            return;
        }
        buffer_.push_back(c);
        if (buffer_.size() >= 80) {
            // Cut at the last blank that follows a character other than a hyphen.
            std::size_t cut = 0;
            for (std::size_t i = buffer_.size() - 1; i >= 1; --i) {
                if (buffer_[i] == ' ' && buffer_[i - 1] != '-') {
                    cut = i;
                    break;
                }
            }
            if (cut == 0) {
                cut = 79;
            }
            const std::string rest = buffer_.substr(cut);
            buffer_.resize(cut);
            StoreBuffer();
            buffer_ = TrimLeftBlanks(rest);
        }
    }

    void StoreBuffer() {
        const std::string line = TrimBlanks(buffer_);
        buffer_.clear();
        if (!line.empty()) {
            Store(s_, line);
            ++stored_;
        }
    }

    ConversionState& s_;
    int mode_;
    ConversionState::FreeFormatMemory& memory_;
    std::string buffer_;
    int lookahead_ = -1;
    int indentation_ = 0;
    int breaks_ = 0;
    int stored_ = 0;
    bool lineStart_ = true;
    bool firstLineOfRecord_ = true;
    bool ended_ = false;
};

} // namespace

void ReadFreeFormatBlock(ConversionState& s, int mode, int charSetMode) {
    if (!s.BeginRecord()) {
        return;
    }
    FreeFormatReader(s, mode).Read();
    bool convert = charSetMode == 1;
    if (charSetMode == 0) {
        int votes = 0;
        for (int i = 0; i < s.mLine; ++i) {
            votes -= OemRoundTrips(s.Line(i)) ? 0 : 1;
            votes += AnsiRoundTrips(s.Line(i)) ? 0 : 1;
        }
        convert = votes > 0;
    }
    if (convert) {
        for (int i = 0; i < s.mLine; ++i) {
            s.SetLine(i, OemToAnsi(s.Line(i)));
        }
    }
    s.SetFilSlut();
}

void ReadTheWholeReferenceAAEM(ConversionState& s) {
    ForgetPendingLineAtRunStart(s);
    if (!s.BeginRecord()) {
        return;
    }
    // The record's lines up to the next form feed.
    std::vector<std::string> lines;
    std::string line;
    GetLine(s, line);
    bool atEnd = s.FilSlut() && line.empty();
    while (!atEnd) {
        lines.push_back(line);
        if (!NextLine(s, line)) {
            atEnd = true;
            break;
        }
        if (StartsWith(line, "\f")) {
            s.pendingLine = TrimLeftBlanks(std::string_view(line).substr(1));
            break;
        }
    }
    if (lines.empty()) {
        return;
    }
    bool oneLineTitle = true;
    if (lines.size() >= 4) {
        const std::string& fourth = lines[3];
        oneLineTitle = fourth.size() >= 5 && (fourth[4] == ':' || fourth[4] == ';') &&
                       IsDigit(fourth[1]) && IsDigit(fourth[2]) && IsDigit(fourth[3]);
    }
    static const std::array<std::string_view, 6> kOneLine = {"",     "TI  ", "AU  ",
                                                             "JO  ", "SO  ", "AB  "};
    static const std::array<std::string_view, 7> kTwoLines = {"",     "TI  ", "    ", "AU  ",
                                                              "JO  ", "SO  ", "AB  "};
    const std::size_t addressFrom = oneLineTitle ? 6 : 7;
    bool afterBlank = false;
    bool collectingAddress = false;
    std::string address;
    for (std::size_t n = 1; n <= lines.size(); ++n) {
        const std::string& text = lines[n - 1];
        std::string_view tag = "    ";
        if (oneLineTitle && n < kOneLine.size()) {
            tag = kOneLine[n];
        } else if (!oneLineTitle && n < kTwoLines.size()) {
            tag = kTwoLines[n];
        }
        if (IsBlankLine(text)) {
            afterBlank = true;
            if (!collectingAddress) {
                Store(s, std::string(tag) + "\x01");
            }
            continue;
        }
        if (collectingAddress || (afterBlank && n >= addressFrom)) {
            if (!collectingAddress) {
                collectingAddress = true;
                address += TrimBlanks(std::string_view(text).substr(0, text.find(','))) + ", ";
            } else {
                std::string part = TrimBlanks(text);
                if (!part.ends_with(',')) {
                    part += ",";
                }
                address += part + " ";
            }
            continue;
        }
        bool firstPiece = true;
        for (const std::string& piece : Pieces(text, 75, 76, 79)) {
            Store(s, std::string(firstPiece ? tag : "    ") + piece);
            firstPiece = false;
        }
    }
    // The address of the last record is kept as well: it is as much the record's as any other.
    address = TrimBlanks(address);
    if (!address.empty()) {
        address.pop_back();
        bool firstPiece = true;
        for (const std::string& piece : Pieces(TrimBlanks(address), 75, 76, 75)) {
            Store(s, std::string(firstPiece ? "AD  " : "    ") + piece);
            firstPiece = false;
        }
    }
}

void MicIndexReadTheWholeReference(ConversionState& s) {
    s.inRef = false;
    if (!s.BeginRecord()) {
        return;
    }
    std::string line;
    if (!FirstNonBlankLine(s, line)) {
        return;
    }
    Store(s, "FI  " + TrimBlanks(line));
    auto collapsed = [](std::string_view text) { return TrimBlanks(fields::Collapse(text)); };
    int position = 1;
    int lineNumber = 1;
    while (NextLine(s, line) && !IsBlankLine(line)) {
        ++lineNumber;
        const bool advances = lineNumber == 2 || IsBlank(line.front());
        if (!advances) {
            Store(s, "    " + collapsed(line));
            continue;
        }
        ++position;
        const std::string text = collapsed(line);
        if (position < 6 && StartsWith(text, "Languages:")) {
            for (int i = 0; i < s.mLine; ++i) {
                if (StartsWith(s.Line(i), "AU  ")) {
                    s.SetLine(i, "SO  " + s.Line(i).substr(4));
                }
            }
            position = 6;
        }
        if (position < 6) {
            static constexpr std::string_view kTags[] = {"AN  ", "TI  ", "AU  ", "SO  "};
            Store(s, std::string(kTags[position - 2]) + text);
        } else {
            struct Label {
                std::string_view label;
                std::string_view tag;
            };
            static constexpr Label kLabels[] = {
                {"Document Type: ", "DT  "},   {"Grade ", "GR  "},
                {"Hardware/Software", "CO  "}, {"Geographic Location:", "GE  "},
                {"Descriptors:", "DE  "},      {"Languages:", "LA  "},
                {"Identifiers:", "ID  "}};
            const std::size_t colon = text.find(':');
            const std::string value =
                colon == std::string::npos ? text : TrimBlanks(text.substr(colon + 1));
            std::string stored = "AB  " + line;
            for (const Label& l : kLabels) {
                if (StartsWith(text, l.label)) {
                    const bool continuesIdentifiers =
                        l.tag == "DE  " && StartsWith(LastField(s), "ID");
                    stored = std::string(continuesIdentifiers ? "    " : l.tag) + value;
                    break;
                }
            }
            Store(s, stored);
        }
    }
    s.inRef = s.mLine > 0;
    s.pendingLine = !line.empty() && IsBlank(line.front()) && !IsBlankLine(line) ? line : "";
}

} // namespace cvx::lexmill
