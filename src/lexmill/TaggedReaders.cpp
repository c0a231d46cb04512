// The record readers of tagged downloads: online hosts, CD-ROM page layouts, RIS, the Japanese
// services, and today's blank-line separated records.

#include "lexmill/ReaderSteps.h"
#include "lexmill/RecordReaders.h"
#include "text/StringPrimitives.h"
#include "text/TextMode.h"

#include <cstdint>

namespace cvx::lexmill {

using namespace steps;

namespace {

constexpr std::string_view kMore = "MORE";
constexpr std::string_view kNoAlternative = "$$$$$$$$$$$$$";

void StorePieces(ConversionState& s, const std::string& line) {
    bool first = true;
    for (const std::string& piece : PageLayoutPieces(line)) {
        const std::string stored = first ? piece : "    " + piece;
        first = false;
        if (StartsWith(TrimView(stored), "----")) {
            continue;
        }
        if (!stored.empty()) {
            Store(s, stored);
        }
    }
}

// "XX  -" or "XX -": two characters that are neither blanks nor hyphens, then the separator.
bool IsRisTagLine(std::string_view line) {
    auto tagCharacter = [](char c) { return c != ' ' && c != '-'; };
    if (line.size() < 4 || !tagCharacter(line[0]) || !tagCharacter(line[1]) || line[2] != ' ') {
        return false;
    }
    return line[3] == '-' || (line.size() >= 5 && line[3] == ' ' && line[4] == '-');
}

bool IsIgakuStart(std::string_view line) {
    return (line.size() >= 3 && line[0] == '#' && IsDigit(line[1]) && IsDigit(line[2])) ||
           StartsWith(line, "CN:") || StartsWith(line, "UI:");
}

bool HasIgakuTag(std::string_view line) {
    static constexpr std::string_view kTags[] = {
        "AB:", "AU:", "CI:", "CK:", "FT:", "JN:", "KW:", "TH:", "TI:",
        "UI:", "LA:", "IN:", "IS:", "VO:", "PG:", "DP:", "PT:", "IP:"};
    for (std::string_view tag : kTags) {
        if (line.find(tag) != std::string_view::npos) {
            return true;
        }
    }
    const std::string_view t = TrimView(line);
    return t.size() == 3 && t[0] == '#' && IsDigit(t[1]) && IsDigit(t[2]);
}

bool IsNumberInParentheses(std::string_view word) {
    return word.size() >= 3 && word.front() == '(' && word.back() == ')' &&
           IsAllDigits(word.substr(1, word.size() - 2));
}

// What a record reader makes of the next source line.
enum class NextLineIs : std::uint8_t { Stored, NextRecord, RecordEnd };

// Stores the record's lines from `line` on. `judge` sees every later line in order (it may
// change it, and keep a reader's own state): a line of the record is stored, a line that begins
// the next record is left in `line`, and at the record's end or the source's `line` is empty.
template <typename Judge>
void StoreRecordLines(ConversionState& s, std::string& line, Judge judge) {
    std::string next;
    while (true) {
        if (!line.empty()) {
            Store(s, line);
        }
        if (!NextLine(s, next)) {
            line.clear();
            return;
        }
        const NextLineIs verdict = judge(next);
        if (verdict == NextLineIs::RecordEnd) {
            line.clear();
            return;
        }
        line.swap(next); // both keep a buffer for the next line
        if (verdict == NextLineIs::NextRecord) {
            return;
        }
    }
}

// The lines of a record that ends at a blank line or at a line that `startsNext` takes for the
// start of the next record, each without its leading control characters.
template <typename StartsNext>
void StoreToBlankLine(ConversionState& s, std::string& line, StartsNext startsNext) {
    StoreRecordLines(s, line, [&](std::string& next) {
        StripControl(next);
        if (IsBlankLine(next)) {
            return NextLineIs::RecordEnd;
        }
        return startsNext(next) ? NextLineIs::NextRecord : NextLineIs::Stored;
    });
}

} // namespace

void ReadTheWholeReference(ConversionState& s, std::string_view markerArgument) {
    s.inRef = false;
    if (!s.BeginRecord()) {
        return;
    }
    std::string marker(markerArgument);
    std::string alternative(kNoAlternative);
    if (const std::size_t dollar = marker.find('$'); dollar != std::string::npos) {
        alternative = marker.substr(0, dollar);
        marker.erase(0, dollar + 1);
    }
    std::string line;
    if (!FindRecordStart(s, line, [&](std::string& l) {
            LfSplit(s, l);
            StripControl(l);
            if (Starts(l, marker)) {
                return true;
            }
            if (Starts(l, alternative)) {
                marker = alternative;
                return true;
            }
            return false;
        })) {
        return;
    }
    bool previousMore = false;
    bool previousMarker = true;
    StoreRecordLines(s, line, [&](std::string& next) {
        if (StartsWith(next, "\x17REC")) {
            next.replace(0, 4, "    ");
        }
        StripControl(next);
        const bool isMarker = Starts(next, marker);
        if (!previousMore && isMarker && !previousMarker) {
            return NextLineIs::NextRecord;
        }
        if (next == kMore && s.mLine > 0) {
            --s.mLine;
        }
        previousMore = next == kMore;
        previousMarker = isMarker;
        return NextLineIs::Stored;
    });
    s.inRef = s.mLine > 0;
    s.pendingLine = Starts(line, marker) ? line : std::string();
}

void ReadTheWholeReferenceTwoC(ConversionState& s, std::string_view marker1,
                               std::string_view marker2) {
    s.inRef = false;
    if (!s.BeginRecord()) {
        return;
    }
    auto isStart = [&](std::string_view l) { return Starts(l, marker1) || Starts(l, marker2); };
    std::string line;
    if (!FindRecordStart(s, line, [&](std::string& l) {
            LfSplit(s, l);
            StripControl(l);
            if (isStart(l)) {
                return true;
            }
            return false;
        })) {
        return;
    }
    // A "MORE" line (the host's page break) takes the place of the line stored before it, and
    // the line after it continues the record even when it looks like a start.
    bool previousMore = false;
    StoreToBlankLine(s, line, [&](const std::string& next) {
        if (!previousMore && s.mLine >= 5 && isStart(next)) {
            return true;
        }
        if (next == kMore && s.mLine > 0) {
            --s.mLine;
        }
        previousMore = next == kMore;
        return false;
    });
    s.inRef = s.mLine > 0;
    s.pendingLine = isStart(line) ? line : std::string();
}

void ReadTheWholeCompuServe(ConversionState& s, std::string_view marker) {
    if (!s.BeginRecord()) {
        return;
    }
    std::string line;
    if (!FindRecordStart(s, line, [&](std::string& l) {
            LfSplit(s, l);
            if (Starts(l, marker)) {
                return true;
            }
            return false;
        })) {
        return;
    }
    bool previousMarker = true;
    std::string next;
    while (true) {
        DropToLastLineFeed(line);
        line = TrimRightBlanks(line);
        if (!line.empty()) {
            Store(s, line);
        }
        if (!NextLine(s, next)) {
            line.clear();
            break;
        }
        const bool isMarker = Starts(TrimLeftBlanks(next), marker);
        if (isMarker && !previousMarker) {
            line = TrimLeftBlanks(next);
            break;
        }
        previousMarker = isMarker;
        line = std::move(next);
    }
    s.pendingLine = Starts(line, marker) ? line : std::string();
}

void ReadTheWholeReferenceSP(ConversionState& s, std::string_view marker) {
    ForgetPendingLineAtRunStart(s);
    if (!s.BeginRecord()) {
        return;
    }
    const bool pageMode = marker == "\f";
    auto isStart = [&](std::string_view l) {
        return pageMode ? !l.empty() && !IsBlank(l.front()) : Starts(TrimView(l), marker);
    };
    auto isEnd = [&](std::string_view l) {
        return Starts(l, marker) || (!l.empty() && Starts(l.substr(1), marker));
    };
    std::string line;
    if (!FindRecordStart(s, line, [&](std::string& l) {
            if (isStart(l)) {
                l = TrimBlanks(l);
                return true;
            }
            return false;
        })) {
        return;
    }
    std::string next;
    while (true) {
        const std::string first = FirstWord(TrimLeftBlanks(line));
        if (IsNumberInParentheses(TrimView(first)) && line.find(" BA: ") != std::string::npos) {
            line = TrimLeftBlanks(line).substr(first.size());
        }
        StorePieces(s, line);
        if (!NextLine(s, next)) {
            line.clear();
            break;
        }
        if (isEnd(next)) {
            line = std::move(next);
            break;
        }
        line = std::move(next);
    }
    s.pendingLine = isStart(line) ? line : std::string();
}

void ReadTheWholeReferenceSPTwoC(ConversionState& s, std::string_view marker1,
                                 std::string_view marker2) {
    if (marker2.empty()) {
        marker2 = marker1;
    }
    if (!s.BeginRecord()) {
        return;
    }
    std::string line;
    std::string_view endMarker;
    if (!FindRecordStart(s, line, [&](std::string& l) {
            const std::string_view t = TrimView(l);
            if (Starts(t, marker1)) {
                endMarker = marker1;
                return true;
            }
            if (Starts(t, marker2)) {
                endMarker = marker2;
                return true;
            }
            return false;
        })) {
        return;
    }
    std::string next;
    while (true) {
        line = TrimRightBlanks(line);
        if (!line.empty()) {
            Store(s, line);
        }
        if (!NextLine(s, next)) {
            line.clear();
            break;
        }
        if (Contains(next, endMarker)) {
            line = std::move(next);
            break;
        }
        line = std::move(next);
    }
    s.pendingLine = Starts(TrimView(line), endMarker) ? line : std::string();
}

void ReadTheWholeRefDIALOGISI(ConversionState& s, std::string_view marker) {
    if (!s.BeginRecord()) {
        return;
    }
    std::string line;
    if (!FindRecordStart(s, line, [&](std::string& l) {
            if (Starts(TrimView(l), marker)) {
                l = TrimLeftBlanks(l);
                return true;
            }
            return false;
        })) {
        return;
    }
    std::string next;
    while (true) {
        StorePieces(s, line);
        if (!NextLine(s, next) || IsBlankLine(next)) {
            line.clear();
            break;
        }
        if (Contains(next, marker)) {
            line = TrimLeftBlanks(next);
            break;
        }
        line = std::move(next);
    }
    s.pendingLine = Starts(line, marker) ? line : std::string();
}

std::string JicstToSingleByte(std::string_view line) {
    std::string out;
    out.reserve(line.size());
    std::size_t i = 0;
    while (i < line.size()) {
        const auto lead = static_cast<unsigned char>(line[i]);
        if (!IsSjisLeadByte(lead) || i + 1 >= line.size()) {
            out.push_back(line[i++]);
            continue;
        }
        const auto trail = static_cast<unsigned char>(line[i + 1]);
        char single = 0;
        if (lead == 0x81) {
            switch (trail) {
            case 0x40:
                single = ' ';
                break;
            case 0x41:
                single = ',';
                break;
            case 0x42:
                single = '.';
                break;
            case 0x43:
                single = ',';
                break;
            case 0x44:
                single = '.';
                break;
            case 0x46:
                single = ':';
                break;
            case 0x47:
                single = ';';
                break;
            case 0x48:
                single = '?';
                break;
            case 0x49:
                single = '!';
                break;
            case 0x5C:
            case 0x5D:
                single = '-';
                break;
            case 0x5E:
                single = '/';
                break;
            case 0x69:
                single = '(';
                break;
            case 0x6A:
                single = ')';
                break;
            case 0x7B:
                single = '+';
                break;
            case 0x7C:
                single = '-';
                break;
            case 0x81:
                single = '=';
                break;
            case 0x83:
                single = '<';
                break;
            case 0x84:
                single = '>';
                break;
            case 0x8C:
                single = '\'';
                break;
            case 0x8D:
                single = '"';
                break;
            case 0x90:
                single = '$';
                break;
            case 0x93:
                single = '%';
                break;
            case 0x94:
                single = '#';
                break;
            case 0x95:
                single = '&';
                break;
            case 0x96:
                single = '*';
                break;
            case 0x97:
                single = '@';
                break;
            default:
                break;
            }
        } else if (lead == 0x82) {
            if ((trail >= 0x4F && trail <= 0x58) || (trail >= 0x60 && trail <= 0x79)) {
                single = static_cast<char>(trail - 31);
            } else if (trail >= 0x81 && trail <= 0x9A) {
                single = static_cast<char>(trail - 32);
            }
        }
        if (single != 0) {
            out.push_back(single);
        } else {
            out.append(line.substr(i, 2));
        }
        i += 2;
    }
    return out;
}

void ReadTheWholeReferenceJICST(ConversionState& s, std::string_view marker) {
    s.convCharSet = TextMode::ShiftJis;
    s.inRef = false;
    if (!s.BeginRecord()) {
        return;
    }
    std::string line;
    if (!FindRecordStart(s, line, [&](std::string& l) {
            StripControl(l);
            if (Starts(l, marker)) {
                return true;
            }
            return false;
        })) {
        return;
    }
    StoreToBlankLine(s, line, [&](const std::string& next) { return Starts(next, marker); });
    for (int i = 0; i < s.mLine; ++i) {
        s.SetLine(i, JicstToSingleByte(s.Line(i)));
    }
    s.inRef = s.mLine > 0;
    s.pendingLine = Starts(line, marker) ? line : std::string();
}

void ReadTheWholeReferenceRIS(ConversionState& s, std::string_view marker) {
    if (!s.BeginRecord()) {
        return;
    }
    // A record begins at its type line, or at any other tag line when the type line is missing
    // (after the "ER" of the record before it, or at the top); it ends before the next type line
    // or with its "ER" line, so a record without a type line is read on its own.
    auto isEnd = [](std::string_view line) {
        return IsRisTagLine(line) && line.substr(0, 2) == "ER";
    };
    std::string line;
    if (!FindRecordStart(s, line, [&](std::string& l) {
            const std::string_view t = TrimView(l);
            if (Starts(t, marker) || (IsRisTagLine(t) && !isEnd(t))) {
                l = TrimBlanks(l);
                return true;
            }
            return false;
        })) {
        return;
    }
    std::string next;
    std::string continued; // a continuation line indented anew; keeps its buffer
    while (true) {
        if (IsRisTagLine(line)) {
            Store(s, line);
        } else if (!IsBlankLine(line)) {
            const std::string_view text = TrimView(line);
            continued.assign("    ");
            continued.append(line, static_cast<std::size_t>(text.data() - line.data()));
            Store(s, continued);
        }
        if (isEnd(line) || !NextLine(s, next)) {
            line.clear();
            break;
        }
        if (Starts(TrimView(next), marker)) {
            line = TrimBlanks(next);
            break;
        }
        line.swap(next); // both keep a buffer for the next line
    }
    s.pendingLine = Starts(line, marker) ? line : std::string();
}

void ReadTheWholeReferenceIGAKU(ConversionState& s) {
    ForgetPendingLineAtRunStart(s);
    if (!s.BeginRecord()) {
        return;
    }
    std::string line;
    if (!FindRecordStart(s, line, [&](std::string& l) {
            if (IsIgakuStart(l)) {
                return true;
            }
            return false;
        })) {
        return;
    }
    std::string next;
    while (true) {
        line = TrimRightBlanks(line);
        if (HasIgakuTag(line)) {
            line = TrimLeftBlanks(line);
        } else {
            line.insert(0, "   ");
        }
        Store(s, line);
        if (!NextLine(s, next) || IsBlankLine(next)) {
            line.clear();
            break;
        }
        if (IsIgakuStart(next)) {
            line = std::move(next);
            break;
        }
        line = std::move(next);
    }
    s.pendingLine = IsIgakuStart(line) ? line : std::string();
}

void RefUp_ReadTheWholeReference(ConversionState& s) {
    ForgetPendingLineAtRunStart(s);
    if (!s.BeginRecord()) {
        return;
    }
    auto isAuthorLine = [](std::string_view l) {
        return StartsWith(l, "AU ") || (!l.empty() && StartsWith(l.substr(1), "AU "));
    };
    std::string line;
    if (!FindRecordStart(s, line, [&](std::string& l) {
            if (StartsWith(TrimView(l), "AU ")) {
                return true;
            }
            return false;
        })) {
        return;
    }
    bool seenOther = false;
    std::string next;
    while (true) {
        DropToLastLineFeed(line);
        line = TrimRightBlanks(line);
        StorePieces(s, line);
        if (!NextLine(s, next)) {
            line.clear();
            break;
        }
        const bool author = isAuthorLine(next);
        if (next.find('\f') != std::string::npos || (seenOther && author)) {
            line = std::move(next);
            break;
        }
        if (!author && !StartsWith(next, "  ")) {
            seenOther = true;
        }
        line = std::move(next);
    }
    s.pendingLine = StartsWith(TrimView(line), "AU ") ? line : std::string();
}

std::string ReadProbase(ConversionState& s, int maximumLength) {
    static const std::string kSeparator("\0AN", 3);
    if (s.probaseFirstCall) {
        s.probaseFirstCall = false;
        s.pendingLine.clear();
        s.FileAppendCRLF();
    }
    ForgetPendingLineAtRunStart(s);
    if (!s.BeginRecord()) {
        return {};
    }
    std::string line;
    std::size_t separator = std::string::npos;
    if (!FindRecordStart(s, line, [&](std::string& l) {
            separator = l.find(kSeparator);
            if (separator != std::string::npos) {
                return true;
            }
            return false;
        })) {
        return {};
    }
    std::string header = line.substr(separator + 1);
    header.resize(std::min(header.size(), static_cast<std::size_t>(std::max(maximumLength, 0))));
    std::string next;
    while (NextLine(s, next)) {
        separator = next.find(kSeparator);
        if (separator != std::string::npos) {
            if (!IsBlankLine(next.substr(0, separator))) {
                Store(s, next.substr(0, separator));
            }
            s.pendingLine = next.substr(separator);
            break;
        }
        if (!next.empty()) {
            Store(s, next);
        }
    }
    return header;
}

void ReadTaggedRecord(ConversionState& s, std::string_view startMarker, std::string_view endMarker,
                      std::string_view skippedTag) {
    s.inRef = false;
    if (!s.BeginRecord()) {
        return;
    }
    // Lines are trimmed where they are, and the two buffers are swapped rather than moved, so
    // that both keep their room from line to line.
    auto trimRight = [](std::string& l) { l.resize(TrimRightView(l).size()); };
    std::string line;
    if (!FindRecordStart(s, line, [&](std::string& l) {
            StripControl(l);
            trimRight(l);
            return !l.empty();
        })) {
        return;
    }
    bool skipping = false;
    std::string next;
    while (true) {
        if (Starts(line, skippedTag)) {
            skipping = true;
        } else if (!(skipping && !line.empty() && IsBlank(line.front()))) {
            skipping = false;
            Store(s, line);
        }
        if (Starts(line, endMarker) || !NextLine(s, next)) {
            break;
        }
        StripControl(next);
        trimRight(next);
        if (next.empty()) {
            break;
        }
        if (Starts(next, startMarker)) {
            s.pendingLine = std::move(next);
            break;
        }
        line.swap(next);
    }
    s.inRef = s.mLine > 0;
}

} // namespace cvx::lexmill
