#include "search/IndexWords.h"

#include "text/StringPrimitives.h"

namespace cvx {

namespace {

// The value of the digits of a part up to its first "-", modulo 65536.
std::uint16_t PartNumber(std::string_view part) {
    std::uint32_t v = 0;
    for (const char c : part.substr(0, part.find('-'))) {
        if (IsDigit(c)) {
            v = (v * 10 + static_cast<std::uint32_t>(c - '0')) % 65536;
        }
    }
    return static_cast<std::uint16_t>(v);
}

} // namespace

int FieldOfLine(int line, BlockKind kind) {
    switch (line) {
    case 1:
    case 2:
    case 3:
        return line + 3;
    case 4:
        return kYearField;
    case 5:
        return 8;
    default:
        break;
    }
    if (kind == BlockKind::Chapter) {
        return line == 6 ? 9 : line == 7 ? 10 : 12;
    }
    if (kind == BlockKind::Monograph) {
        return line == 6 ? 10 : 12;
    }
    return 12;
}

// The parts are read as the record's fields are: the year is the first word, the volume the text
// inside the first parentheses before an inner "(" (the issue), the first page what follows "pp "
// (or the last ")").
bool YearLineKeysOf(std::string_view block, YearLineKeys& keys) {
    const ReferenceLines lines(block);
    if (lines.Count() < 4) {
        return false;
    }
    const std::string_view line =
        TrimView(block.substr(lines.Start(4), lines.End(4) - lines.Start(4)));
    keys.year = PartNumber(line.substr(0, line.find(' ')));
    const std::size_t open = line.find('(');
    if (open != std::string_view::npos) {
        const std::string_view rest = line.substr(open + 1);
        keys.volume = PartNumber(rest.substr(0, rest.find_first_of("()")));
    } else {
        keys.volume = 0;
    }
    const std::size_t pp = line.find("pp ");
    const std::size_t close = line.rfind(')');
    keys.firstPage = pp != std::string_view::npos      ? PartNumber(line.substr(pp + 3))
                     : close != std::string_view::npos ? PartNumber(line.substr(close + 1))
                     : line.find(' ') != std::string_view::npos
                         ? PartNumber(line.substr(line.find(' ')))
                         : 0;
    return true;
}

} // namespace cvx
