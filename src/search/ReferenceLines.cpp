#include "search/ReferenceLines.h"

#include <algorithm>

namespace cvx {

namespace {

constexpr std::size_t kPublisherLineExamined = 255;

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

} // namespace

ReferenceLines::ReferenceLines(std::string_view block) : block_(block) {
    starts_.push_back(0);
    for (std::size_t i = 0; i + 2 < block.size(); ++i) {
        if (block[i] == '\n' && block[i + 1] == ' ' &&
            static_cast<unsigned char>(block[i + 2]) > 32) {
            starts_.push_back(i + 1);
        }
    }
    if (Count() >= 6) {
        const std::string_view fifth = block.substr(Start(5), End(5) - Start(5));
        if (StartsWith(fifth, " E: ")) {
            kind_ = BlockKind::Chapter;
        } else if (StartsWith(fifth, " S: ")) {
            kind_ = BlockKind::Monograph;
        }
    }
}

std::size_t ReferenceLines::Start(int line) const {
    if (line < 1) {
        return 0;
    }
    return line <= Count() ? starts_[static_cast<std::size_t>(line - 1)] : block_.size();
}

std::size_t ReferenceLines::End(int line) const {
    if (line < 1) {
        return 0;
    }
    return line < Count() ? starts_[static_cast<std::size_t>(line)] : block_.size();
}

int ReferenceLines::LineOf(FieldScope scope) const {
    switch (scope) {
    case FieldScope::Identification:
    case FieldScope::Authors:
    case FieldScope::Title:
        return static_cast<int>(scope) - 3;
    case FieldScope::YearLine:
        return 4;
    case FieldScope::Source:
        return 5;
    case FieldScope::Editors:
        return kind_ == BlockKind::Chapter ? 6 : 0;
    case FieldScope::Publisher:
    case FieldScope::City:
        return kind_ == BlockKind::Chapter ? 7 : kind_ == BlockKind::Monograph ? 6 : 0;
    case FieldScope::Abstract:
        return kind_ == BlockKind::Chapter ? 8 : kind_ == BlockKind::Monograph ? 7 : 6;
    }
    return 0;
}

std::size_t CityParenthesis(std::string_view line) {
    const std::string_view examined = line.substr(0, std::min(line.size(), kPublisherLineExamined));
    return examined.find('(');
}

} // namespace cvx
