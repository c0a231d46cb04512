#include "refstore/ListLine.h"

#include "refstore/ReferenceJobs.h"
#include "text/Catalogue.h"
#include "text/StringPrimitives.h"

namespace cvx {

namespace {

constexpr std::string_view kTitleMarker = "!T!T!T";

// Cuts the text before its last blank; false when it has none.
bool DropLastWord(std::string& text) {
    const std::size_t blank = text.find_last_of(' ');
    if (blank == std::string::npos) {
        return false;
    }
    text.erase(blank);
    return true;
}

} // namespace

Outcome ReadListLine(const ReferenceReader& reader, int index, const FormalCheck& check,
                     ListLine& line, ReadBuffer* buffer) {
    StoredReference ref;
    if (Outcome r = reader.Parse(index, true, check, ref, buffer); !r) {
        return r;
    }
    line.text = SingleLineText(ref.data, ref.split.guessedType);
    if (line.text.size() > kMaxListLine) {
        line.text.resize(kMaxListLine);
    }
    line.status = StatusOf(ref);
    return Outcome::Ok();
}

std::string FitListLine(std::string_view text, int available, const MeasureCodedText& measure) {
    std::string line(TrimLeftBlanks(text));
    const std::size_t first = line.find(kTitleMarker);
    if (first == std::string::npos) {
        while (measure(line) > available && DropLastWord(line)) {
        }
        return line;
    }
    const std::size_t second = line.find(kTitleMarker, first + kTitleMarker.size());
    if (second == std::string::npos) {
        line.erase(first, kTitleMarker.size());
        return line;
    }
    std::string title =
        line.substr(first + kTitleMarker.size(), second - first - kTitleMarker.size());
    const std::string before = line.substr(0, first);
    const std::string after = line.substr(second + kTitleMarker.size());
    // The whole line with the title as it is now shortened, built into one reused string.
    std::string candidate;
    const auto joined = [&](std::string_view middle) -> const std::string& {
        candidate.assign(before).append(middle).append(after);
        return candidate;
    };
    while (!title.empty() && measure(joined(title)) > available) {
        if (!DropLastWord(title)) {
            title.clear();
            break;
        }
        title += "...";
    }
    return joined(title.empty() ? std::string_view("...") : std::string_view(title));
}

std::string ShownListText(std::string_view text) {
    std::string shown(text);
    if (StartsWith(shown, "#B#B")) {
        shown.insert(2, "0000");
    }
    return ReplaceAll(shown, "!T!T!T!T!T!T", Message(msg::RefWin::LacksTitle));
}

} // namespace cvx
