// Completing a manuscript: an RTF manuscript of about 1 MB with 4,000 pseudo-citations drawn from
// a generated reference file of 100,000 references, completed with a shipped author-year style
// and a numbered one. The peer, measured in the same run, is pandoc --citeproc on a Markdown
// manuscript with the same text and citations and a CSL JSON bibliography of the references they
// cite (the cited references only, which favours the peer).
//
// The same manuscript as a .docx (about 300 pages, every pseudo-citation split over runs with its
// file part hidden, as pasted) is completed by the whole citavox-cli process, beside pandoc
// --citeproc writing a .docx from the Markdown manuscript with the official APA CSL style of the
// shared folder, read in place.

#include "RefFileGenerator.h"

#include "documents/DocumentCompletion.h"
#include "documents/ZipPackage.h"
#include "formats/FormatFile.h"
#include "refstore/ReferenceFile.h"
#include "text/AuthorNames.h"
#include "text/Cp1252.h"
#include "text/StringPrimitives.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kReferences = 100000;
constexpr int kCitations = 4000;
constexpr std::size_t kManuscriptBytes = 1000000;

struct Fixture {
    fs::path dir;
    std::string refs;
    std::string rtf;
    std::string docx;
    std::string markdown;
    std::string json;
    int referenceCount = 0;
};

std::string JsonText(std::string_view cp1252) {
    std::string out = "\"";
    for (char c : cvx::Cp1252ToUtf8(cp1252)) {
        if (c == '"' || c == '\\') {
            out += '\\';
        }
        if (static_cast<unsigned char>(c) >= 0x20) {
            out += c;
        }
    }
    return out + "\"";
}

// The CSL JSON item of a reference.
std::string CslItem(int number, const cvx::TRefArrData& r) {
    using F = cvx::FieldIndex;
    std::string authors;
    std::string rest = r[F::Authors];
    while (!cvx::TrimBlanks(rest).empty()) {
        const cvx::AuthorName name = cvx::NextAuthorName(rest);
        if (name.name.empty()) {
            break;
        }
        authors +=
            (authors.empty() ? "" : ",") + std::string("{\"family\":") + JsonText(name.name) + "}";
        rest = name.rest;
    }
    return "{\"id\":\"r" + std::to_string(number) + "\",\"type\":\"article-journal\",\"author\":[" +
           authors + "],\"title\":" + JsonText(r[F::Title]) +
           ",\"container-title\":" + JsonText(r[F::Journal]) +
           ",\"volume\":" + JsonText(r[F::Volume]) +
           ",\"page\":" + JsonText(r[F::PageFirst] + "-" + r[F::PageLast]) +
           ",\"issued\":{\"date-parts\":[[" +
           std::to_string(std::atoi(r[F::Year].c_str()) == 0 ? 2000
                                                             : std::atoi(r[F::Year].c_str())) +
           "]]}}";
}

// A .docx of the given body with the parts a word processor needs to open it.
std::string WordDocx(const std::string& body) {
    std::string out;
    const bool made =
        cvx::CreateZip(
            {{"[Content_Types].xml",
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Types xmlns=\"http://"
              "schemas.openxmlformats.org/package/2006/content-types\"><Default Extension=\"rels\" "
              "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/><Default "
              "Extension=\"xml\" ContentType=\"application/xml\"/><Override "
              "PartName=\"/word/document.xml\" ContentType=\"application/"
              "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/></Types>"},
             {"_rels/.rels",
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships xmlns=\"http://"
              "schemas.openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rId1\" "
              "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
              "officeDocument\" Target=\"word/document.xml\"/></Relationships>"},
             {"word/document.xml",
              "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><w:document "
              "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body>" +
                  body + "</w:body></w:document>"}},
            out)
            .ok();
    if (!made) {
        std::abort();
    }
    return out;
}

const Fixture& Prepare() {
    static const Fixture fixture = [] {
        Fixture f;
        f.dir = fs::temp_directory_path() / "citavox-completion-bench";
        fs::create_directories(f.dir);
        f.refs = (f.dir / "refs.ref").string();
        if (!fs::exists(f.refs)) {
            // About 750 bytes a reference in the seed file.
            if (!cvx::bench::GenerateReferenceFile(CITAVOX_SOURCE_DIR "/examples/refs.ref", f.refs,
                                                   std::uint64_t{kReferences} * 760)) {
                std::abort();
            }
        }
        cvx::TReferenceFile file;
        if (!file.Open(f.refs)) { // builds the map once, as the first opening of a file does
            std::abort();
        }
        f.referenceCount = std::min(file.RefCount(), kReferences);

        std::mt19937 random(7);
        std::uniform_int_distribution<int> pick(1, f.referenceCount);
        std::uniform_int_distribution<int> groupSize(1, 3);
        const std::string filler =
            "Attention to the rhythm of speech changes with experience, and the networks that "
            "carry it connect at rest as well as at work. ";
        const std::string run = "{\\rtlch\\fcs1 \\af0 \\ltrch\\fcs0 \\insrsid1182354 ";
        const std::size_t fillPerCitation = kManuscriptBytes / kCitations;
        f.rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}}\r\n";
        std::string body;
        const std::string wordRun = "<w:r><w:t xml:space=\"preserve\">";
        std::set<int> cited;
        for (int c = 0; c < kCitations;) {
            f.rtf += "\\pard\\plain " + run;
            std::string text;
            while (text.size() < fillPerCitation) {
                text += filler;
            }
            f.rtf += text + "}";
            f.markdown += text;
            body += "<w:p>" + wordRun + text + "</w:t></w:r>";
            const int n = std::min(groupSize(random), kCitations - c);
            std::string md = "[";
            for (int k = 0; k < n; ++k, ++c) {
                const int number = pick(random);
                cited.insert(number);
                f.rtf += run + "\\{\\{}{\\v\\insrsid1182354 refs.ref #" + std::to_string(number) +
                         "; }" + run + "Author, 2000\\}\\}} ";
                md += (k == 0 ? "@r" : "; @r") + std::to_string(number);
                body += wordRun +
                        "{{</w:t></w:r><w:r><w:rPr><w:vanish/></w:rPr><w:t "
                        "xml:space=\"preserve\">refs.ref #" +
                        std::to_string(number) + "; </w:t></w:r>" + wordRun +
                        "Author, 2000}} </w:t></w:r>";
            }
            body += "</w:p>";
            f.rtf += "\\par}\r\n";
            f.markdown += md + "]\n\n";
        }
        f.rtf += "\\pard\\plain " + run + "\\{\\{REFERENCES\\}\\}\\par}\r\n}";
        f.markdown += "# References\n";
        body += "<w:p>" + wordRun + "{{REFERENCES}}</w:t></w:r></w:p>";
        f.docx = WordDocx(body);
        std::ofstream(f.dir / "paper.rtf", std::ios::binary) << f.rtf;
        std::ofstream(f.dir / "paper.docx", std::ios::binary) << f.docx;
        std::ofstream(f.dir / "paper.md", std::ios::binary) << f.markdown;

        std::string json = "[";
        for (int number : cited) {
            if (!file.GoTo(file.AbsoluteToDisplay(number - 1))) {
                std::abort();
            }
            json += (json.size() > 1 ? ",\n" : "") + CslItem(number, file.ParseCurrent(false));
        }
        std::ofstream(f.dir / "refs.json", std::ios::binary) << json << "]\n";
        return f;
    }();
    return fixture;
}

void Complete(benchmark::State& state, const char* style) {
    const Fixture& f = Prepare();
    cvx::TFormatDesc format;
    if (cvx::LoadFormat(format, std::string(CITAVOX_FORMATS_DIR "/") + style) !=
            cvx::kFormatLoaded ||
        format.FileName().empty()) {
        std::abort();
    }
    cvx::TDocumentLibrary library;
    if (!library.Load(CITAVOX_DOCUMENT_LIBRARY)) {
        std::abort();
    }
    cvx::CompletionRequest request;
    request.manuscript = (f.dir / "paper.rtf").string();
    request.documentFormatName = "Rich Text Format (RTF)";
    request.documentFormat = library.FormatIndex(request.documentFormatName);
    request.library = &library;
    request.format = &format;
    for (auto _ : state) {
        cvx::CompletionReport report;
        if (!cvx::CompleteDocument(request, report) || report.citations != kCitations) {
            state.SkipWithError("completion failed");
            return;
        }
        benchmark::DoNotOptimize(report.outputSize);
    }
    state.counters["references"] = f.referenceCount;
    state.counters["manuscript_bytes"] = static_cast<double>(f.rtf.size());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.rtf.size()));
}

void PandocCiteproc(benchmark::State& state) {
    const Fixture& f = Prepare();
    const std::string command = "cd '" + f.dir.string() +
                                "' && pandoc --citeproc --bibliography=refs.json -f markdown "
                                "-t plain -o paper-pandoc.txt paper.md";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("pandoc --citeproc failed");
            return;
        }
    }
    state.counters["manuscript_bytes"] = static_cast<double>(f.markdown.size());
}

// The whole process a user starts: citavox-cli completing the .docx with the shipped APA style.
void CliCompleteDocx(benchmark::State& state) {
    const Fixture& f = Prepare();
    const std::string command = "cd '" + f.dir.string() +
                                "' && '" CITAVOX_CLI
                                "' complete paper.docx --format apa >/dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("citavox-cli complete failed");
            return;
        }
    }
    state.counters["manuscript_bytes"] = static_cast<double>(f.docx.size());
}

void PandocCiteprocDocx(benchmark::State& state) {
    const Fixture& f = Prepare();
    const std::string command =
        "cd '" + f.dir.string() +
        "' && pandoc --citeproc --bibliography=refs.json --csl='" CITAVOX_CSL_DIR
        "/apa.csl' -f markdown -o paper-pandoc.docx paper.md";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("pandoc --citeproc failed");
            return;
        }
    }
}

} // namespace

BENCHMARK(CliCompleteDocx)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(PandocCiteprocDocx)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK_CAPTURE(Complete, apa_author_year, "apa.for")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(Complete, vancouver_numbered, "vancouver.for")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(PandocCiteproc)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

BENCHMARK_MAIN();
