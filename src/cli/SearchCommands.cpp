#include "cli/SearchCommands.h"

#include "joboptions/JobOptions.h"
#include "refstore/ReferenceFile.h"
#include "refstore/ReferenceJobs.h"
#include "search/IndexState.h"
#include "search/IndexedSearch.h"
#include "search/SearchFile.h"
#include "search/TCreateIDXFile.h"
#include "search/WordIndexFormat.h"
#include "settings/SettingsStore.h"
#include "text/CaseMapping.h"
#include "text/Cp1252.h"

#include <array>
#include <charconv>
#include <iostream>

namespace cvx::cli {

namespace {

constexpr std::size_t kContext = 30; // characters shown on either side of an error's position

struct FieldName {
    std::string_view name;
    int field;
};

constexpr std::array<FieldName, 10> kFieldNames = {{{"id", 4},
                                                    {"au", 5},
                                                    {"ti", 6},
                                                    {"yvp", 7},
                                                    {"so", 8},
                                                    {"ed", 9},
                                                    {"pu", 10},
                                                    {"ci", 11},
                                                    {"ab", 12},
                                                    {"text", kFreeTextField}}};

// A field by its name or number.
std::optional<int> FieldOf(std::string_view item) {
    const std::string lower = LowerText(item);
    for (const FieldName& f : kFieldNames) {
        if (lower == f.name) {
            return f.field;
        }
    }
    int number = 0;
    const auto [end, ec] = std::from_chars(item.data(), item.data() + item.size(), number);
    if (ec == std::errc() && end == item.data() + item.size() &&
        ((kIndexableMask >> number) & 1u) != 0 && number < 32) {
        return number;
    }
    return std::nullopt;
}

// The mask of a comma-separated list of fields; nullopt (after saying why) for an unknown one.
std::optional<std::uint32_t> FieldMask(const Args& args, std::uint32_t absent) {
    const std::optional<std::string> list = args.Value("--fields");
    if (!list) {
        return absent;
    }
    std::uint32_t mask = 0;
    std::string_view rest = *list;
    while (!rest.empty()) {
        const std::size_t comma = rest.find(',');
        const std::string_view item = rest.substr(0, comma);
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
        if (item.empty()) {
            continue;
        }
        const std::optional<int> field = FieldOf(item);
        if (!field) {
            Fail(Msg(msg::CliSearch::UnknownField, Utf8ToCp1252(item)));
            return std::nullopt;
        }
        mask |= 1u << *field;
    }
    return mask;
}

// The expression around a position, with a caret under it.
void ShowPosition(std::string_view expression, std::size_t position) {
    const std::size_t from = position > kContext ? position - kContext : 0;
    std::string excerpt(expression.substr(from, position - from + kContext));
    for (char& c : excerpt) {
        c = static_cast<unsigned char>(c) < 32 ? ' ' : c;
    }
    std::cerr << Cp1252ToUtf8(Msg(msg::CliSearch::AtCharacter, std::to_string(position + 1)))
              << '\n'
              << Cp1252ToUtf8(excerpt) << '\n'
              << std::string(position - from, ' ') << "^\n";
}

void PrintMatches(const SearchResult& result, bool json) {
    if (!json) {
        for (const int index : result.matches) {
            std::cout << index + 1 << '\n';
        }
        return;
    }
    std::cout << "{\"matches\": [";
    for (std::size_t i = 0; i < result.matches.size(); ++i) {
        std::cout << (i > 0 ? ", " : "") << result.matches[i] + 1;
    }
    std::cout << "], \"hit_words\": [";
    for (std::size_t i = 0; i < result.hitWords.size(); ++i) {
        std::string word = result.hitWords[i];
        std::replace(word.begin(), word.end(), '\0', ' '); // folded blanks
        std::cout << (i > 0 ? ", " : "") << JsonString(word);
    }
    std::cout << "]}\n";
}

} // namespace

int RunSearch(const Args& args) {
    const auto usage = [] { return Usage({msg::CliSearch::UsageSearch}); };
    if (args.Positional().size() != 2 || !args.Complete() ||
        args.Unknown({"--tag", "--locate", "--get", "--from", "--indexed", "--ignore-diacritics",
                      "--json"})) {
        return usage();
    }
    const int modes =
        (args.Has("--tag") ? 1 : 0) + (args.Has("--locate") ? 1 : 0) + (args.Has("--get") ? 1 : 0);
    if (modes > 1 || (args.Has("--from") && !args.Has("--get"))) {
        return usage();
    }
    const SearchMode mode = args.Has("--get")      ? SearchMode::Get
                            : args.Has("--locate") ? SearchMode::Locate
                                                   : SearchMode::Tag;
    std::optional<int> from;
    if (const std::optional<std::string> n = args.Value("--from")) {
        if (from = ReferenceNumber(*n); !from) {
            return kFailure;
        }
    }
    TerminalProgress progress(TerminalProgress::Statuses::Hidden);
    TReferenceFile file;
    if (!OpenFile(file, args.Positional()[0], progress)) {
        return kFailure;
    }
    // Getting starts after the reference it is given, or at the first one.
    if (Outcome r = from ? GoToReference(file, *from) : file.GoTo(file.VisibleCount() - 1); !r) {
        return Fail(r);
    }
    const std::string expression = Utf8ToCp1252(args.Positional()[1]);
    // The text the tags are found in: they are stored only for it, not for one that another
    // writer put in its place meanwhile.
    const std::shared_ptr<const ReferenceReader> searched = file.Reader();
    SearchResult result;
    Outcome r;
    if (args.Has("--indexed")) {
        const JobOptions options = JobOptions::Read(SettingsStore());
        r = IndexedSearch(file, expression, mode, options.thesaurus, &progress, result);
    } else {
        r = SearchFile(file, expression, mode, args.Has("--ignore-diacritics"), &progress, result);
    }
    if (!r) {
        Fail(r);
        if (result.errorPosition != std::string_view::npos) {
            ShowPosition(expression, result.errorPosition);
        }
        return kFailure;
    }
    if (args.Has("--tag")) {
        const RefSet found = file.TaggedSet();
        if (Outcome saved = ReplaceTags(file, found, *searched); !saved) {
            return Fail(saved);
        }
    }
    PrintMatches(result, args.Has("--json"));
    return kSuccess;
}

int RunIndex(const Args& args) {
    if (args.Positional().size() != 1 || !args.Complete() || args.Unknown({"--fields"})) {
        return Usage({msg::CliSearch::UsageIndex});
    }
    const std::optional<std::uint32_t> mask = FieldMask(args, kDefaultIndexMask);
    if (!mask) {
        return kFailure;
    }
    TerminalProgress progress;
    TCreateIDXFile build(args.Positional()[0], *mask, progress);
    build.Start();
    if (Outcome r = build.Wait(); !r) {
        return Fail(r);
    }
    const IndexBuildReport& report = build.Report();
    PrintLine(Msg(msg::Searching::IndexedReferences, std::to_string(report.references),
                  std::to_string(report.distinctWords), std::to_string(report.totalWords)));
    return kSuccess;
}

int RunIndexState(const Args& args) {
    if (args.Positional().size() != 1 || !args.Complete() || args.Unknown({"--fields"})) {
        return Usage({msg::CliSearch::UsageIndexState});
    }
    const std::optional<std::uint32_t> mask = FieldMask(args, 0);
    if (!mask) {
        return kFailure;
    }
    TerminalProgress progress(TerminalProgress::Statuses::Hidden);
    TReferenceFile file;
    if (!OpenFile(file, args.Positional()[0], progress)) {
        return kFailure;
    }
    std::cout << IndexState(file, *mask) << '\n';
    return kSuccess;
}

} // namespace cvx::cli
