#include "lexmill/ReaderSteps.h"

#include "text/StringPrimitives.h"

namespace cvx::lexmill::steps {

bool Starts(std::string_view line, std::string_view marker) {
    return !marker.empty() && StartsWith(line, marker);
}

bool Contains(std::string_view line, std::string_view marker) {
    return !marker.empty() && line.find(marker) != std::string_view::npos;
}

bool IsBlankLine(std::string_view line) {
    return TrimView(line).empty();
}

void GetLine(ConversionState& s, std::string& line) {
    if (!s.pendingLine.empty()) {
        line = std::move(s.pendingLine);
        s.pendingLine.clear();
        return;
    }
    s.ReadSourceLine(line);
}

bool NextLine(ConversionState& s, std::string& line) {
    s.ReadSourceLine(line);
    return !(s.FilSlut() && line.empty());
}

void LfSplit(ConversionState& s, std::string& line) {
    const std::size_t lf = line.find('\n');
    if (lf == std::string::npos) {
        return;
    }
    s.pendingLine = TrimBlanks(std::string_view(line).substr(lf + 1));
    line.resize(lf);
}

void DropToLastLineFeed(std::string& line) {
    const std::size_t lf = line.rfind('\n');
    if (lf != std::string::npos) {
        line.erase(0, lf + 1);
    }
}

void StripControl(std::string& line) {
    std::size_t i = 0;
    while (i < line.size() && static_cast<unsigned char>(line[i]) < 32) {
        ++i;
    }
    line.erase(0, i);
}

std::vector<std::string> Pieces(std::string_view line, std::size_t cut, std::size_t longFrom,
                                std::size_t firstLongerThan) {
    std::vector<std::string> pieces;
    std::string_view rest = line;
    auto finish = [&](std::string_view piece) {
        if (!piece.empty() && piece.front() == '\n') {
            piece.remove_prefix(1);
        }
        std::string p(piece);
        p = TrimRightBlanks(p);
        pieces.push_back(std::move(p));
    };
    while (pieces.empty() ? rest.size() > firstLongerThan : rest.size() >= longFrom) {
        std::size_t blank = rest.substr(0, cut).rfind(' ');
        if (blank == std::string_view::npos) {
            finish(rest.substr(0, cut));
            rest.remove_prefix(std::min(cut, rest.size()));
        } else {
            finish(rest.substr(0, blank));
            rest.remove_prefix(blank + 1);
        }
    }
    finish(rest);
    return pieces;
}

std::vector<std::string> PageLayoutPieces(std::string_view line) {
    return Pieces(line, 75, 80, 76);
}

void Store(ConversionState& s, std::string_view line) {
    if (!s.StoreLine(line)) {
        s.ref.questioned = true;
    }
}

void ForgetPendingLineAtRunStart(ConversionState& s) {
    if (s.recordsRead == 0) {
        s.pendingLine.clear();
    }
}

} // namespace cvx::lexmill::steps
