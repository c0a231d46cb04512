#include "cli/CliSupport.h"

#include "refstore/ReferenceJobs.h"
#include "refstore/SortOrders.h"
#include "text/Cp1252.h"
#include "text/FileNames.h"
#include "text/StringPrimitives.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <unistd.h>

namespace cvx::cli {

namespace {

std::string ForTerminal(std::string_view cp1252Text) {
    std::string text = Cp1252ToUtf8(cp1252Text);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace

Args::Args(std::vector<std::string> raw, std::vector<std::string_view> valued) {
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const std::string& a = raw[i];
        if (a.size() > 2 && StartsWith(a, "--")) {
            const bool takesValue = std::find(valued.begin(), valued.end(), a) != valued.end();
            if (takesValue && i + 1 >= raw.size()) {
                complete_ = false;
            }
            options_.emplace_back(a, takesValue && i + 1 < raw.size() ? raw[++i] : std::string());
        } else {
            positional_.push_back(a);
        }
    }
}

bool Args::Has(std::string_view option) const {
    for (const auto& [name, value] : options_) {
        if (name == option) {
            return true;
        }
    }
    return false;
}

std::optional<std::string> Args::Value(std::string_view option) const {
    for (const auto& [name, value] : options_) {
        if (name == option) {
            return value;
        }
    }
    return std::nullopt;
}

std::optional<std::string> Args::Unknown(std::vector<std::string_view> known) const {
    for (const auto& [name, value] : options_) {
        if (std::find(known.begin(), known.end(), name) == known.end()) {
            return name;
        }
    }
    return std::nullopt;
}

void Print(std::string_view cp1252Text) {
    std::cout << ForTerminal(cp1252Text);
}

void PrintLine(std::string_view cp1252Text) {
    std::cout << ForTerminal(cp1252Text) << '\n';
}

int Fail(const Outcome& outcome) {
    return Fail(outcome.message());
}

int Fail(std::string_view cp1252Message) {
    std::cout.flush();
    std::cerr << "citavox-cli: " << ForTerminal(cp1252Message) << '\n';
    return kFailure;
}

int Usage(std::initializer_list<MsgId> entries) {
    std::string lines;
    for (const MsgId e : entries) {
        lines += (lines.empty() ? "" : "\r") + Msg(e);
    }
    Fail(Msg(msg::Cli::WrongArguments, lines));
    return kUsageError;
}

std::optional<int> ReferenceNumber(std::string_view text) {
    const std::optional<int> n = ParseInt(text, true);
    if (!n) {
        Fail(Msg(msg::RefWin::NotReferenceNumber, Utf8ToCp1252(text)));
    }
    return n;
}

bool OpenFile(TReferenceFile& file, const std::string& name, Progress& progress,
              DisplayOrder displayKind) {
    const Outcome opened = OpenReferenceFile(file, name, &progress, displayKind);
    if (!opened) {
        Fail(opened);
        if (RefusedForLineEnds(opened)) {
            Fail(Msg(msg::Cli::RunFixLineEnds, DisplayPath(name)));
        }
    }
    return opened.ok();
}

std::string JsonString(std::string_view cp1252Text) {
    const std::string utf8 = Cp1252ToUtf8(cp1252Text);
    std::string out = "\"";
    for (unsigned char c : utf8) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

std::string JsonNumbers(const std::vector<int>& numbers) {
    return "[" + NumberList(numbers) + "]";
}

std::vector<int> NumbersOf(const RefSet& set) {
    std::vector<int> numbers;
    for (int i = 0; i < set.Size(); ++i) {
        if (set.Test(i)) {
            numbers.push_back(i + 1);
        }
    }
    return numbers;
}

std::string NumberList(const std::vector<int>& numbers) {
    std::string out;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        out += (i == 0 ? "" : ", ") + std::to_string(numbers[i]);
    }
    return out;
}

void WarnUnparsed(MsgId message, const std::vector<int>& unparsed) {
    if (!unparsed.empty()) {
        Fail(Msg(message, NumberList(unparsed)));
    }
}

std::optional<DisplayOrder> OrderOption(const Args& args, DisplayOrder fallback) {
    const std::optional<std::string> named = args.Value("--order");
    if (!named) {
        return fallback;
    }
    const std::optional<DisplayOrder> order = SortOrderByName(Utf8ToCp1252(*named));
    if (!order) {
        Fail(Msg(msg::CliFileTools::UnknownOrder, Utf8ToCp1252(*named)));
    }
    return order;
}

TerminalProgress::TerminalProgress(Statuses statuses)
    : terminal_(::isatty(STDERR_FILENO) != 0), showStatuses_(statuses == Statuses::Shown) {}

TerminalProgress::Statuses TerminalProgress::For(const Args& args) {
    return args.Has("--json") ? Statuses::Hidden : Statuses::Shown;
}

TerminalProgress::~TerminalProgress() {
    ClearBar();
}

void TerminalProgress::ClearBar() {
    if (drawn_.exchange(false)) {
        std::cerr << "\r\x1b[K" << std::flush;
        percent_ = -1;
    }
}

void TerminalProgress::SetStatus(std::string_view text) {
    if (terminal_ && showStatuses_) {
        ClearBar();
        std::cerr << ForTerminal(text) << '\n';
    }
}

void TerminalProgress::SetProgress(int permille) {
    const int percent = permille / 10;
    if (!terminal_ || percent == percent_.exchange(percent)) {
        return;
    }
    constexpr int kWidth = 40;
    const int filled = kWidth * percent / 100;
    std::cerr << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
              << std::string(static_cast<std::size_t>(kWidth - filled), ' ') << "] " << percent
              << "%" << std::flush;
    drawn_ = true;
}

} // namespace cvx::cli
