#include "cli/DocumentCommands.h"

#include "documents/DocumentCompletion.h"
#include "documents/PseudoCitation.h"
#include "formats/FormatFile.h"
#include "formats/Renderer.h"
#include "journals/DatabaseJournalLookup.h"
#include "refstore/ReferenceFile.h"
#include "settings/DefaultDirectories.h"
#include "settings/SettingsStore.h"
#include "text/CaseMapping.h"
#include "text/Collation.h"
#include "text/Cp1252.h"
#include "text/FileNames.h"
#include "text/ShippedData.h"
#include "text/StringPrimitives.h"

#include <algorithm>
#include <filesystem>
#include <iostream>

namespace cvx::cli {

namespace {

// The document format a manuscript is completed as when the command names none.
std::string DefaultDocumentFormat(const std::string& manuscript) {
    const std::string ext = LowerText(ExtOf(manuscript));
    if (ext == "rtf") {
        return "Rich Text Format (RTF)";
    }
    if (ext == "tex") {
        return "LaTex";
    }
    return "Text (ANSI)";
}

void PrintReport(const CompletionReport& r) {
    auto yesNo = [](bool yes) { return Message(yes ? msg::YesNo::Yes : msg::YesNo::No); };
    PrintLine(Msg(msg::CliDocuments::CreatedManuscript, DisplayPath(r.outputName),
                  std::to_string(r.outputSize)));
    PrintLine(Msg(msg::CliDocuments::TotalCitations, std::to_string(r.citations)));
    PrintLine(Msg(msg::CliDocuments::CitationGroups, std::to_string(r.groups)));
    PrintLine(Msg(msg::CliDocuments::UniqueCitations, std::to_string(r.uniqueCitations)));
    PrintLine(Msg(msg::CliDocuments::ReferenceListCreated, yesNo(r.referenceListMade)));
    PrintLine(Msg(msg::Manusproduction::CitationsRetrieved, std::to_string(r.files.size())));
    for (const UsedReferenceFile& f : r.files) {
        PrintLine("  " + Msg(msg::CliDocuments::UsedFileLine, DisplayPath(f.name),
                             std::to_string(f.citations), std::to_string(f.references)));
    }
    PrintLine(Msg(msg::CliDocuments::IncorrectFormats, std::to_string(r.wrongFormat)));
    PrintLine(Msg(msg::CliDocuments::LackingTerminators, std::to_string(r.lackingEnd)));
    PrintLine(Msg(msg::CliDocuments::AliasUsed, yesNo(r.aliasUsed)));
    if (r.wrongFormat > 0) {
        PrintLine(Msg(msg::Manusproduction::WrongFormatCount, std::to_string(r.wrongFormat)));
    }
    if (!r.warnings.empty()) {
        PrintLine(Message(msg::CliDocuments::Warnings));
        for (const std::string& w : r.warnings) {
            PrintLine("  " + w);
        }
    }
}

// The reference file as a pseudo-citation names it: the full path, as a reference window has
// the file open.
std::string FullPath(const std::string& name) {
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(name, ec);
    return ec ? name : full.lexically_normal().string();
}

// A collation by its number or its name in the catalogue (in any letter case).
std::optional<Collation> CollationByName(std::string_view text) {
    if (const std::optional<int> n = ParseInt(text, true)) {
        return *n >= 0 && *n < kCollationCount ? std::optional(static_cast<Collation>(*n))
                                               : std::nullopt;
    }
    const std::string wanted = UpperText(Utf8ToCp1252(text));
    for (int i = 0; i < kCollationCount; ++i) {
        if (UpperText(Message({MsgList::CharSorting, i})) == wanted) {
            return static_cast<Collation>(i);
        }
    }
    return std::nullopt;
}

} // namespace

int RunComplete(const Args& args) {
    const auto formatFile = args.Value("--format");
    if (args.Positional().size() != 1 || !formatFile || !args.Complete() ||
        args.Unknown({"--format", "--document-format"})) {
        return Usage({msg::CliDocuments::UsageComplete});
    }
    const SettingsStore settings;
    const std::string manuscript = ManuscriptPath(
        args.Positional()[0], DefaultDirectory(settings, DefaultDirectoryKind::Lists));
    const std::string documentFormat =
        args.Value("--document-format").value_or(DefaultDocumentFormat(manuscript));

    TFormatDesc format;
    if (!LoadFormatFile(format, *formatFile)) {
        return kFailure;
    }
    TDocumentLibrary library;
    const std::string libraryFile = SpecificFileInUse(
        settings, SpecificFileKind::TextDocumentDefinitions, ShippedDataDirectory());
    const bool latex = UpperText(documentFormat).find("LATEX") != std::string::npos;
    if (Outcome r = library.Load(libraryFile); !r && !latex) {
        return Fail(r);
    }

    TerminalProgress progress;
    CompletionRequest request;
    request.manuscript = manuscript;
    request.documentFormat = library.FormatIndex(Utf8ToCp1252(documentFormat));
    request.documentFormatName = documentFormat;
    request.library = &library;
    request.format = &format;
    const DatabaseJournalLookup journals = UserJournalDatabase();
    request.render.journals = journals.Usable() ? &journals : nullptr;
    request.render.ignoreJournalDatabase = settings.ReadBool(Setting::IgnoreDatabase);
    request.render.suppressRtf = settings.ReadBool(Setting::SuppressRtf);
    request.progress = &progress;
    CompletionReport report;
    if (Outcome r = CompleteDocument(request, report); !r) {
        return Fail(r);
    }
    PrintReport(report);
    return kSuccess;
}

int RunCite(const Args& args) {
    const std::vector<std::string_view> known = {"--hide", "--no-hide", "--option", "--first",
                                                 "--no-enclosure"};
    if (args.Positional().size() < 2 || !args.Complete() || args.Unknown(known) ||
        (args.Has("--hide") && args.Has("--no-hide"))) {
        return Usage({msg::CliDocuments::UsageCite});
    }
    PseudoCitationRequest pattern;
    if (const auto option = args.Value("--option")) {
        const std::string lower = LowerText(*option);
        if (lower == "hide") {
            pattern.option = kOptionHide;
        } else if (lower == "year") {
            pattern.option = kOptionYear;
        } else if (lower == "authors") {
            pattern.option = kOptionAuthors;
        } else if (StartsWith(lower, "before:") || StartsWith(lower, "after:")) {
            const bool before = StartsWith(lower, "before:");
            pattern.option = before ? kOptionTextBefore : kOptionTextAfter;
            pattern.optionText = option->substr(before ? 7 : 6);
            if (pattern.optionText.find(';') != std::string::npos ||
                pattern.optionText.find("}}") != std::string::npos) {
                return Fail(Message(msg::CliDocuments::BadOptionText));
            }
        } else {
            return Usage({msg::CliDocuments::UsageCite});
        }
    }
    pattern.firstInGroup = args.Has("--first");
    pattern.skipEnclosure = args.Has("--no-enclosure");
    const SettingsStore settings;
    const bool hide =
        args.Has("--hide") ||
        (!args.Has("--no-hide") && settings.ReadBool(Setting::HideReferencesInPseudoCitations));
    RenderOptions labels;
    labels.suppressRtf = settings.ReadBool(Setting::SuppressRtf);

    const std::string& name = args.Positional()[0];
    TerminalProgress progress;
    TReferenceFile file;
    if (!OpenReferenceFile(file, name, progress)) {
        return kFailure;
    }
    pattern.file = FullPath(name);
    std::vector<PseudoCitationRequest> requests;
    for (std::size_t i = 1; i < args.Positional().size(); ++i) {
        const std::optional<int> n = ReferenceNumber(args.Positional()[i], file.RefCount(), name);
        if (!n) {
            return kFailure;
        }
        if (Outcome r = file.GoTo(file.AbsoluteToDisplay(*n - 1)); !r) {
            return Fail(r);
        }
        PseudoCitationRequest request = pattern;
        request.number = *n;
        // Built in UTF-8: the path as the system has it, the label converted to match.
        request.label = Cp1252ToUtf8(AuthorYearLabel(file.ParseCurrent(false), labels));
        requests.push_back(std::move(request));
    }
    std::string text;
    if (Outcome r = BuildPseudoCitations(requests, hide, text); !r) {
        return Fail(r);
    }
    std::cout << text << '\n';
    return kSuccess;
}

int RunCollate(const Args& args) {
    if (args.Positional().empty() || args.Unknown({})) {
        return Usage({msg::CliDocuments::UsageCollate});
    }
    const std::optional<Collation> collation = CollationByName(args.Positional()[0]);
    if (!collation) {
        std::string names;
        for (int i = 0; i < kCollationCount; ++i) {
            names += (i == 0 ? "" : ", ") + Message({MsgList::CharSorting, i});
        }
        return Fail(
            Msg(msg::CliDocuments::UnknownCollation, Utf8ToCp1252(args.Positional()[0]), names));
    }
    std::vector<std::string> keys;
    for (std::size_t i = 1; i < args.Positional().size(); ++i) {
        keys.push_back(Utf8ToCp1252(args.Positional()[i]));
    }
    std::stable_sort(keys.begin(), keys.end(), [&](const std::string& a, const std::string& b) {
        return CompareKeys(*collation, a, b) == kSortsBefore;
    });
    for (const std::string& key : keys) {
        PrintLine(key);
    }
    return kSuccess;
}

} // namespace cvx::cli
