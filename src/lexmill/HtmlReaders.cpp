// The record readers of HTML result pages: a state machine per page layout turns the page into
// tagged lines; markup is removed and entities are replaced in every stored line.

#include "lexmill/ReaderSteps.h"
#include "lexmill/RecordReaders.h"
#include "lexmill/TextConversions.h"
#include "text/CaseMapping.h"
#include "text/StringPrimitives.h"

#include <utility>

namespace cvx::lexmill {

using namespace steps;

namespace {

constexpr std::string_view kContinuation = "      ";

// Builds the tagged lines of one field: the first line carries the tag, later ones the
// continuation prefix; markup and entities are resolved on the way.
class FieldWriter {
public:
    explicit FieldWriter(ConversionState& s) : s_(s) {}

    void Begin(std::string_view tag) {
        tag_ = tag;
        started_ = false;
    }
    void Add(std::string_view text) {
        const std::string clean = TrimBlanks(ReplaceEntities(RemoveMarkup(text)));
        if (clean.empty()) {
            return;
        }
        Store(s_, (started_ ? std::string(kContinuation) : tag_) + clean);
        started_ = true;
    }

private:
    ConversionState& s_;
    std::string tag_;
    bool started_ = false;
};

std::string_view Drop(std::string_view text, std::size_t n) {
    return text.substr(std::min(n, text.size()));
}

bool StartsRecord(std::string_view upper) {
    return upper.find("<HR><EM>") != std::string_view::npos ||
           upper.find("<P><EM>") != std::string_view::npos;
}

} // namespace

void ReadTheWholeRef_Entrez(ConversionState& s) {
    s.inRef = false;
    if (!s.BeginRecord()) {
        return;
    }
    std::string line;
    if (!FindRecordStart(s, line, [&](std::string& l) {
            const std::string upper = UpperText(TrimLeftBlanks(l));
            if (StartsWith(upper, "<P><EM>") || StartsWith(upper, "<HR><EM>")) {
                l = TrimLeftBlanks(l);
                return true;
            }
            return false;
        })) {
        return;
    }
    FieldWriter field(s);
    int state = 1;
    bool firstOfState = true;
    field.Begin("SO  - ");
    auto enter = [&](int next, std::string_view tag) {
        state = next;
        firstOfState = true;
        field.Begin(tag);
    };
    bool ended = false;
    // One line in the current state; a line that moves to the next state is processed again there.
    auto process = [&](const std::string& text, const std::string& upper) {
        while (true) {
            const bool firstLine = std::exchange(firstOfState, false);
            std::string_view t = text;
            switch (state) {
            case 1:
                if (!firstLine && StartsWith(text, "<P>")) {
                    enter(2, "TI  - ");
                    continue;
                }
                if (firstLine) {
                    t = Drop(t, 7);
                    if (StartsWith(t, ">")) {
                        t.remove_prefix(1);
                    }
                }
                field.Add(t);
                return;
            case 2:
            case 3: {
                t = firstLine ? Drop(t, 7) : t;
                const std::size_t close = state == 2 ? UpperText(t).find("</H2>") : t.find("</h4>");
                field.Add(t.substr(0, close));
                if (close != std::string_view::npos) {
                    state == 2 ? enter(3, "AU  - ") : enter(4, "AD  - ");
                }
                return;
            }
            case 4:
            case 5:
                if (!firstLine && StartsWith(text, "<P>")) {
                    state == 4 ? enter(5, "AB  - ") : enter(6, "KW  - ");
                    continue;
                }
                field.Add(firstLine ? Drop(t, 3) : t);
                return;
            default:
                if (upper.find("<A HREF") != std::string::npos) {
                    ended = true;
                    return;
                }
                for (std::size_t li = upper.find("<LI>"); li != std::string::npos;
                     li = upper.find("<LI>", li + 4)) {
                    const std::size_t open = text.find('>', li);
                    const std::size_t close = text.find('<', open);
                    field.Add(std::string_view(text).substr(open + 1, close - open - 1));
                }
                return;
            }
        }
    };
    bool first = true;
    while (true) {
        const std::string upper = UpperText(line);
        if (!first && (upper.find("</HTML>") != std::string::npos || StartsRecord(upper))) {
            s.pendingLine = StartsRecord(upper) ? line : std::string();
            break;
        }
        first = false;
        process(line, upper);
        if (ended || !NextLine(s, line)) {
            break;
        }
    }
    s.inRef = s.mLine > 0;
}

void ReadTheWholeRef_NCBIMed(ConversionState& s) {
    s.inRef = false;
    if (!s.BeginRecord()) {
        return;
    }
    std::string line;
    if (!FindRecordStart(s, line, [&](std::string& l) {
            if (StartsWith(UpperText(l), "<TITLE>")) {
                return true;
            }
            return false;
        })) {
        return;
    }
    NextLine(s, line); // the line after the title is not part of the record
    static constexpr std::string_view kTags[] = {"",       "TI  - ", "AU  - ", "AD  - ",
                                                 "SO  - ", "AB  - ", "KW  - ", "UI  - "};
    FieldWriter field(s);
    int state = 1;
    field.Begin(kTags[state]);
    while (NextLine(s, line)) {
        const std::string upper = UpperText(line);
        if (StartsWith(upper, "<TITLE>")) {
            s.pendingLine = line;
            break;
        }
        if (state == 3 && StartsWith(upper, "<I>")) {
            state = 4;
            field.Begin(kTags[state]);
            field.Add(line);
            continue;
        }
        if ((state == 4 && StartsWith(upper, "<I>"))) {
            field.Add(line);
            continue;
        }
        if (state == 6 && StartsWith(upper, "<LI>")) {
            field.Add(Drop(line, 4));
            continue;
        }
        if (StartsWith(line, "<")) {
            if (++state > 7) {
                break;
            }
            field.Begin(kTags[state]);
            continue;
        }
        field.Add(line);
    }
    s.inRef = s.mLine > 0;
}

} // namespace cvx::lexmill
