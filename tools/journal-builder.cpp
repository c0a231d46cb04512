// Builds a journal-name database from a CSV list of journals.
//
//   journal-builder LIST.csv DATABASE [--block-bytes N] [--block-records N]
//
// The list is UTF-8 CSV with a header row naming the columns "Full name", "Alternate names"
// (separated by " = "), "Medlar", "Index Medicus", "BIOSIS", "Chemical Abstracts", "ISSN",
// "Requires issue" and "Lacks volume" (the last two "1" or empty). The database is written
// beside its final name and renamed into place, so a failed build leaves no damaged file.

#include "journals/JournalBuilder.h"
#include "storage/FileRewrite.h"
#include "storage/FileSystem.h"
#include "text/Cp1252.h"
#include "text/StringPrimitives.h"

#include <filesystem>
#include <iostream>

namespace {

int Fail(const std::string& where, const std::string& what) {
    std::cerr << "journal-builder: " << where << ": error: " << what << "\n";
    return 1;
}

std::string CsvProblem(cvx::JournalCsvProblem::Kind kind) {
    using Kind = cvx::JournalCsvProblem::Kind;
    switch (kind) {
    case Kind::Header:
        return "the first row must name the columns \"Full name\", \"Alternate names\", "
               "\"Medlar\", \"Index Medicus\", \"BIOSIS\", \"Chemical Abstracts\", \"ISSN\", "
               "\"Requires issue\", \"Lacks volume\"";
    case Kind::Columns:
        return "the row does not have nine fields";
    case Kind::Quoting:
        return "a quoted field is not closed, or text follows its closing quote";
    case Kind::CodePage:
        return "a character that code page 1252 lacks";
    case Kind::Flag:
        return "a flag that is neither 1, 0 nor empty";
    case Kind::None:
        break;
    }
    return {};
}

std::string DefinitionProblem(cvx::JournalError e) {
    switch (e) {
    case cvx::JournalError::FullNameLacking:
        return "the journal has no full name";
    case cvx::JournalError::IllegalIssn:
        return "the ISSN is not of the form 1234-5678 (or 1234-567X)";
    default:
        return "more than nine alternate names, or a name longer than 255 bytes";
    }
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> positional;
    cvx::JournalBuildOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if ((a == "--block-bytes" || a == "--block-records") && i + 1 < argc) {
            const std::optional<int> n = cvx::ParseInt(argv[++i], true);
            if (!n || *n <= 0) {
                return Fail(a, "not a positive number");
            }
            if (a == "--block-bytes") {
                options.blockBytes = static_cast<std::size_t>(*n);
            } else {
                options.blockRecords = *n;
            }
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() != 2) {
        std::cerr << "usage: journal-builder LIST.csv DATABASE [--block-bytes N] "
                     "[--block-records N]\n";
        return 2;
    }
    const std::string& list = positional[0];
    const std::string& output = positional[1];
    cvx::FileSystem& fs = cvx::FileSystem::Default();
    std::string csv;
    if (cvx::Outcome r = cvx::ReadWholeFile(fs, list, csv); !r) {
        return Fail(list, "cannot read: " + cvx::Cp1252ToUtf8(r.message()));
    }
    std::vector<cvx::JournalDefinition> journals;
    if (const cvx::JournalCsvProblem p = cvx::ReadJournalCsv(csv, journals);
        p.kind != cvx::JournalCsvProblem::Kind::None) {
        return Fail(list + ":" + std::to_string(p.line), CsvProblem(p.kind));
    }
    if (options.blockBytes > cvx::kJournalMaxEditedBlock) {
        return Fail("--block-bytes", "a block holds at most " +
                                         std::to_string(cvx::kJournalMaxEditedBlock) + " bytes");
    }
    cvx::JournalImage image;
    const cvx::JournalBuildProblem p = cvx::BuildJournalImage(journals, options, image);
    if (p.error != cvx::JournalError::None) {
        if (p.blocks > 0) {
            return Fail(list, "the names need " + std::to_string(p.blocks) +
                                  " blocks, more than the " +
                                  std::to_string(cvx::kJournalMaxBlocks) +
                                  " a database can have; list fewer journals");
        }
        if (p.records > 0) {
            return Fail(list, "the journals have " + std::to_string(p.records) +
                                  " distinct names, more than the " +
                                  std::to_string(cvx::kJournalMaxRecords) +
                                  " a database can hold; list fewer journals");
        }
        return Fail(list + ": journal " + std::to_string(p.journal + 1) + " (\"" +
                        cvx::Cp1252ToUtf8(journals[p.journal].texts[1]) + "\")",
                    DefinitionProblem(p.error));
    }
    std::string bytes;
    if (image.Serialise(bytes) != cvx::JournalError::None) {
        return Fail(output, "a block does not fit the format; lower --block-bytes");
    }
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(output).parent_path(), ec);
    if (cvx::Outcome r = cvx::WriteFileAtomically(fs, output, bytes); !r) {
        return Fail(output, "cannot write: " + cvx::Cp1252ToUtf8(r.message()));
    }
    std::cout << "journal-builder: " << output << ": " << journals.size() << " journals, "
              << image.Records().size() << " names in " << image.BlockCount() << " blocks, "
              << bytes.size() << " bytes\n";
    return 0;
}
