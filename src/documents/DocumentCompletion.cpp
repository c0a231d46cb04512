#include "documents/DocumentCompletion.h"

#include "documents/CitationGroup.h"
#include "documents/CompoundFile.h"
#include "documents/DocumentScanner.h"
#include "documents/OutputConverter.h"
#include "documents/PseudoCitation.h"
#include "documents/WordConversion.h"
#include "documents/WordDocument.h"
#include "formats/FormatFile.h"
#include "storage/FileRewrite.h"
#include "storage/LittleEndian.h"
#include "text/CaseMapping.h"
#include "text/Catalogue.h"
#include "text/Collation.h"
#include "text/Cp1252.h"
#include "text/FileNames.h"
#include "text/Markup.h"
#include "text/Progress.h"
#include "text/StringPrimitives.h"

#include <algorithm>
#include <set>

namespace cvx {

namespace {

// RTF list entries are written in pieces of at most this many bytes, each on a line of its own.
constexpr std::size_t kPieceLength = 84;
constexpr std::size_t kPieceThreshold = 80;

// A name relative to the manuscript's folder, so a manuscript and its reference files can move
// together; an absolute path is taken as it is.
std::string ResolveReferenceFile(const std::string& manuscript, const std::string& name) {
    if (name.empty() || name[0] == '/') {
        return name;
    }
    const std::string dir = DirOf(manuscript);
    return dir.empty() ? name : dir + "/" + name;
}

// The end of the RTF element that starts at pos: a control word with its delimiter, an escape,
// a brace or one character. A piece break never falls inside one.
std::size_t RtfElementEnd(std::string_view rtf, std::size_t pos) {
    if (rtf[pos] != '\\' || pos + 1 >= rtf.size()) {
        return pos + 1;
    }
    std::size_t i = pos + 1;
    if (rtf[i] == '\'') {
        return std::min(rtf.size(), i + 3);
    }
    const auto isLetter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    if (!isLetter(rtf[i])) {
        return i + 1;
    }
    while (i < rtf.size() && isLetter(rtf[i])) {
        ++i;
    }
    if (i < rtf.size() && rtf[i] == '-') {
        ++i;
    }
    while (i < rtf.size() && IsDigit(rtf[i])) {
        ++i;
    }
    if (i < rtf.size() && rtf[i] == ' ') {
        ++i;
    }
    // A \uN escape takes its fallback character with it.
    if (rtf.substr(pos, 2) == "\\u" && i < rtf.size() && rtf[i] == '?') {
        ++i;
    }
    return i;
}

// An RTF text cut into pieces of at most kPieceLength bytes, each starting on a new line of the
// source (which RTF readers ignore), broken only between elements and, where one is near, after
// a blank.
std::string RtfPieces(std::string_view rtf) {
    std::string out;
    std::size_t start = 0;
    while (start < rtf.size()) {
        std::size_t end = start;
        if (rtf.size() - start < kPieceThreshold) {
            end = rtf.size();
        } else {
            std::size_t afterSpace = start; // the last break after a blank of the text
            while (end < rtf.size()) {
                const std::size_t next = RtfElementEnd(rtf, end);
                if (next - start > kPieceLength && end > start) {
                    break;
                }
                if (next == end + 1 && rtf[end] == ' ') {
                    afterSpace = next;
                }
                end = next;
            }
            if (end < rtf.size() && afterSpace > start + kPieceLength / 2) {
                end = afterSpace; // words stay whole where a blank allows it
            }
        }
        out += "\r\n";
        out.append(rtf.substr(start, end - start));
        start = end;
    }
    return out;
}

// A label reduced to its letters and digits in capitals, without markup codes or LaTeX
// commands, so that labels written in different document formats compare.
std::string LabelKey(std::string_view label) {
    const std::string plain = CodesToPlainText(label);
    std::string key;
    for (std::size_t i = 0; i < plain.size(); ++i) {
        const auto c = static_cast<unsigned char>(plain[i]);
        if (c == '\\') {
            while (i + 1 < plain.size() && ((plain[i + 1] >= 'a' && plain[i + 1] <= 'z') ||
                                            (plain[i + 1] >= 'A' && plain[i + 1] <= 'Z'))) {
                ++i;
            }
            continue;
        }
        if (IsDigit(static_cast<char>(c)) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
            c >= 0xC0) {
            key.push_back(static_cast<char>(UpperChar(c)));
        }
    }
    return key;
}

// The extension of a path's file name, whole and in lower case.
std::string ExtensionOf(const std::string& path) {
    return LowerText(WholeExtOf(path));
}

std::string NoteMessage(const ScanNote& note) {
    // The warning of each ScanIssue, in its order.
    static constexpr msg::Documents kNotes[] = {
        msg::Documents::LacksEndNote, msg::Documents::TooLongNote, msg::Documents::AfterMarkerNote,
        msg::Documents::BeyondLimitNote, msg::Documents::GroupSplitNote};
    return Msg(kNotes[static_cast<int>(note.issue)], std::to_string(note.line));
}

class Completion {
public:
    Completion(const CompletionRequest& request, CompletionReport& report)
        : request_(request), report_(report),
          fs_(request.fs != nullptr ? *request.fs : FileSystem::Default()) {}

    Outcome Run() {
        if (Outcome r = Prepare(); !r) {
            return r;
        }
        if (Outcome r = Scan(); !r) {
            return r;
        }
        if (Outcome r = ReadReferences(); !r) {
            return r;
        }
        return Write();
    }

private:
    void Status(msg::ReplaceManuscripts entry) {
        if (request_.progress != nullptr) {
            request_.progress->SetStatus(Msg(entry));
            request_.progress->SetProgress(0);
        }
    }

    Outcome Prepare() {
        const std::string shown = DisplayPath(request_.manuscript);
        const TDocumentLibrary* library = request_.library;
        if (request_.documentFormat == kWordAutomation) {
            kind_ = DocumentKind::Word;
        } else if (request_.documentFormat == kLatexDocument) {
            kind_ = DocumentKind::Latex;
        } else if (library == nullptr || request_.documentFormat < 0 ||
                   request_.documentFormat >= library->Count()) {
            const std::string names =
                library != nullptr ? library->FormatNames() : TDocumentLibrary().FormatNames();
            return Outcome::Error(Msg(msg::Documents::NotInLibrary,
                                      Utf8ToCp1252(request_.documentFormatName), names));
        } else {
            definition_ = &library->Definition(request_.documentFormat);
            kind_ = KindOfDefinition(definition_->name);
        }
        if (!fs_.Stat(request_.manuscript).exists) {
            return Outcome::Error(Msg(msg::FileOpen::NoSuchFile, shown));
        }
        if (kind_ == DocumentKind::Word) {
            if (Outcome r = LoadWordDocument(shown); !r) {
                return r;
            }
            return Begin();
        }
        // The kind shows in the first bytes: a file of another kind is refused before it is read
        // whole, and no manuscript is read beyond the bound of a whole-file read.
        if (Outcome r = ReadHead(document_); !r) {
            return Outcome::Error(Msg(msg::FileOpen::FailedToRead, shown) + "\r" + r.message());
        }
        if (DocumentHasKind(document_, kind_)) {
            if (Outcome r = ReadWholeFile(fs_, request_.manuscript, document_); !r) {
                return Outcome::Error(Msg(msg::FileOpen::FailedToRead, shown) + "\r" + r.message());
            }
        }
        if (!DocumentHasKind(document_, kind_)) {
            const std::string name = definition_ != nullptr
                                         ? definition_->name
                                         : Utf8ToCp1252(request_.documentFormatName);
            return Outcome::Error(Msg(msg::Documents::WrongKind, shown, name));
        }
        return Begin();
    }

    // What every kind of manuscript sets up once it has been read.
    Outcome Begin() {
        collation_ = static_cast<Collation>(
            std::clamp<int>(request_.format->record.charSortOrder, 0, kCollationCount - 1));
        SelectCollation(collation_);
        render_ = request_.render;
        render_.latex = kind_ == DocumentKind::Latex;
        report_ = CompletionReport{};
        report_.outputName = OutputName(request_.manuscript);
        return Outcome::Ok();
    }

    // A word-processor document: a binary .doc is first converted by LibreOffice; the text a
    // reader sees is what the scan reads. A compound file protected by a password is refused
    // before LibreOffice is asked to open it.
    Outcome LoadWordDocument(const std::string& shown) {
        std::string bytes;
        if (Outcome r = ReadWholeFile(fs_, request_.manuscript, bytes); !r) {
            return Outcome::Error(Msg(msg::FileOpen::FailedToRead, shown) + "\r" + r.message());
        }
        if (LooksLikeCompoundFile(bytes)) {
            const CompoundContent content = InspectCompoundFile(bytes);
            if (content == CompoundContent::EncryptedWord ||
                content == CompoundContent::EncryptedPackage) {
                return Outcome::Error(Msg(msg::Documents::DocumentEncrypted, shown));
            }
            binaryDoc_ = ExtensionOf(request_.manuscript) == "doc";
        }
        if (binaryDoc_) {
            if (Outcome r =
                    ConvertWithLibreOffice(request_.manuscript, "docx", bytes, request_.progress);
                !r) {
                return r;
            }
        }
        word_ = std::make_unique<WordDocument>();
        if (Outcome r = word_->Load(std::move(bytes), shown); !r) {
            return r;
        }
        document_ = word_->Text();
        return Outcome::Ok();
    }

    Outcome ReadHead(std::string& head) {
        constexpr std::size_t kHeadSize = 1 << 20;
        Outcome r;
        std::unique_ptr<ReadableFile> file = fs_.OpenForRead(request_.manuscript, r);
        if (!file) {
            return r;
        }
        head.resize(kHeadSize);
        std::size_t got = 0;
        r = file->ReadAt(0, head.data(), head.size(), got);
        head.resize(got);
        return r;
    }

    Outcome Scan() {
        Status(msg::ReplaceManuscripts::ScanningDocument);
        if (Outcome r = ScanDocument(document_, kind_, definition_, scan_, request_.progress); !r) {
            return r;
        }
        for (const ScannedGroup& g : scan_.groups) {
            for (const ScannedCitation& c : g.citations) {
                const TPseudoCitation pc = ParsePseudoCitation(c.text);
                if (!pc.Readable()) {
                    return Outcome::Error(Msg(msg::Manusproduction::UnreadableReferenceNumber,
                                              std::to_string(c.running), Utf8ToCp1252(c.text)) +
                                          Msg(msg::Documents::AtLine, std::to_string(c.line)));
                }
                citations_.push_back(pc);
                requests_.push_back({ResolveReferenceFile(request_.manuscript, pc.file), pc.number,
                                     c.running, c.line});
            }
        }
        if (citations_.empty()) {
            return Outcome::Error(Msg(msg::Manusproduction::NoCitations));
        }
        // Completing only the first pseudo-citations would leave a manuscript half done: none is.
        for (const ScanNote& note : scan_.notes) {
            if (note.issue == ScanIssue::BeyondLimit) {
                return Outcome::Error(Msg(msg::Documents::TooManyPseudoCitations,
                                          std::to_string(note.line),
                                          std::to_string(kMaxPseudoCitations)));
            }
        }
        return Outcome::Ok();
    }

    Outcome ReadReferences() {
        Status(msg::ReplaceManuscripts::ReadingReferences);
        if (Outcome r = references_.Collect(requests_, collation_, render_, fs_, request_.progress);
            !r) {
            return r;
        }
        references_.Prepare(*request_.format, collation_, render_);
        CheckLabels();
        return Outcome::Ok();
    }

    // A pseudo-citation names its reference by position; when its label disagrees with the
    // reference found there, the file has probably changed (compressed, sorted) since.
    void CheckLabels() {
        std::set<int> checked;
        for (std::size_t i = 0; i < citations_.size(); ++i) {
            const int r = references_.ReferenceOf(i);
            const TOneActualRef& ref = references_.References()[static_cast<std::size_t>(r)];
            const std::string label = Utf8ToCp1252(citations_[i].label);
            if (ref.formatError || label.empty() || !checked.insert(r).second) {
                continue;
            }
            const std::string expected = LabelKey(ref.label);
            if (!expected.empty() && LabelKey(label).find(expected) == std::string::npos) {
                const std::string named =
                    Msg(msg::Documents::ReferenceNamed, std::to_string(ref.number + 1),
                        DisplayPath(ref.file), ref.label);
                labelWarnings_.push_back(Msg(msg::Documents::LabelMismatch,
                                             std::to_string(requests_[i].line), label, named));
            }
        }
    }

    std::string ReferenceList(const OutputConverter& converter) const {
        static constexpr std::string_view kParagraphs[] = {"#L", "#L#T", "#O"};
        const std::string_view paragraph =
            kParagraphs[std::clamp<int>(request_.format->record.paragraphStyle, 0, 2)];
        std::string out;
        for (const std::string& entry : ReferenceListEntries(*request_.format, references_)) {
            const std::string converted = converter.Convert(std::string(paragraph) + entry);
            out += kind_ == DocumentKind::Rtf ? RtfPieces(converted) : converted;
        }
        return out;
    }

    Outcome Write() {
        Status(msg::ReplaceManuscripts::ReplacingPseudoCitations);
        const OutputConverter converter(kind_, definition_, scan_.utf8Document);
        CitationGroupFormatter formatter(*request_.format, references_, collation_);
        std::string out;
        out.reserve(document_.size() + document_.size() / 8);
        std::size_t cursor = 0;
        std::size_t citation = 0;
        for (std::size_t g = 0; g < scan_.groups.size(); ++g) {
            const ScannedGroup& group = scan_.groups[g];
            if (request_.progress != nullptr) {
                if (request_.progress->AbortRequested()) {
                    return Outcome::Aborted();
                }
                request_.progress->SetProgress(Permille(group.start, document_.size()));
            }
            std::vector<GroupCitation> entries;
            for (std::size_t k = 0; k < group.citations.size(); ++k, ++citation) {
                const TPseudoCitation& pc = citations_[citation];
                entries.push_back({references_.ReferenceOf(citation), pc.optionCode,
                                   Utf8ToCp1252(pc.optionText)});
            }
            const std::string text = entries.empty() ? std::string() : formatter.Format(entries);
            report_.groups += entries.empty() ? 0 : 1;
            report_.referenceListMade = report_.referenceListMade || group.marker;
            if (word_) {
                wordReplacements_.push_back(
                    {group.start, group.end, text,
                     group.marker ? WordListEntries() : std::vector<std::string>(), group.marker});
                continue;
            }
            out.append(document_, cursor, group.start - cursor);
            out += converter.Convert(text);
            if (group.marker) {
                out += ReferenceList(converter);
            }
            out += group.braces;
            cursor = group.end;
        }
        if (word_) {
            return WriteWordDocument();
        }
        out.append(document_, cursor);
        if (kind_ == DocumentKind::WordPerfect6 && out.size() >= 24) {
            // The document size in the header counts the whole file.
            std::string size;
            PutLe32(size, static_cast<std::uint32_t>(out.size()));
            out.replace(20, 4, size);
        }
        if (Outcome r = WriteFileAtomically(fs_, report_.outputName, out); !r) {
            return Outcome::Error(
                Msg(msg::Manusproduction::FatalWrite, DisplayPath(report_.outputName)));
        }
        Finish(out.size());
        return Outcome::Ok();
    }

    // The list entries for a word processor, each with the code of its paragraph: the outdented
    // style sets the hanging indent for every entry.
    std::vector<std::string> WordListEntries() const {
        const bool hanging = request_.format->record.paragraphStyle == 2;
        const std::string code = hanging                                       ? "#O"
                                 : request_.format->record.paragraphStyle == 1 ? "#L#T"
                                                                               : "#L";
        std::vector<std::string> entries = ReferenceListEntries(*request_.format, references_);
        for (std::string& e : entries) {
            e.insert(0, code);
        }
        return entries;
    }

    Outcome WriteWordDocument() {
        std::string out;
        if (Outcome r = word_->Write(wordReplacements_, out); !r) {
            return r;
        }
        if (binaryDoc_) {
            std::string doc;
            if (Outcome r = ConvertBackWithLibreOffice(out, report_.outputName, "doc", doc,
                                                       request_.progress);
                !r) {
                return r;
            }
            out = std::move(doc);
        }
        if (Outcome r = WriteFileAtomically(fs_, report_.outputName, out); !r) {
            return Outcome::Error(
                Msg(msg::Manusproduction::FatalWrite, DisplayPath(report_.outputName)));
        }
        Finish(out.size());
        return Outcome::Ok();
    }

    void Finish(std::uint64_t size) {
        report_.outputSize = size;
        report_.citations = scan_.citationCount;
        report_.uniqueCitations = static_cast<int>(references_.References().size());
        report_.wrongFormat = references_.FormatErrors();
        report_.lackingEnd = scan_.Count(ScanIssue::LacksEnd);
        report_.files = references_.Files();
        for (const ScanNote& note : scan_.notes) {
            report_.warnings.push_back(NoteMessage(note));
        }
        report_.warnings.insert(report_.warnings.end(), labelWarnings_.begin(),
                                labelWarnings_.end());
        if (request_.progress != nullptr) {
            request_.progress->SetProgress(Progress::kMaximum);
            request_.progress->SetStatus(Msg(msg::ReplaceManuscripts::ManuscriptCompleted));
        }
    }

    const CompletionRequest& request_;
    CompletionReport& report_;
    FileSystem& fs_;
    DocumentKind kind_ = DocumentKind::Plain;
    const TDocumentDefinition* definition_ = nullptr;
    std::string document_;
    Collation collation_ = Collation::English;
    RenderOptions render_;
    ScanResult scan_;
    std::vector<TPseudoCitation> citations_;
    std::vector<CitationRequest> requests_;
    TCitedReferences references_;
    std::vector<std::string> labelWarnings_;
    std::unique_ptr<WordDocument> word_;
    bool binaryDoc_ = false;
    std::vector<WordReplacement> wordReplacements_;
};

} // namespace

std::string ManuscriptPath(const std::string& name, const std::string& documentDirectory,
                           FileSystem& fs) {
    const std::string directory = TrimBlanks(documentDirectory);
    if (name.find('/') != std::string::npos || fs.Stat(name).exists || directory.empty()) {
        return name;
    }
    const std::string inDirectory = directory + (directory.ends_with('/') ? "" : "/") + name;
    return fs.Stat(inDirectory).exists ? inDirectory : name;
}

Outcome CompleteDocument(const CompletionRequest& request, CompletionReport& report) {
    CompletionReport result;
    Completion completion(request, result);
    if (Outcome r = completion.Run(); !r) {
        return r;
    }
    report = std::move(result);
    return Outcome::Ok();
}

std::string DefaultDocumentFormat(const std::string& manuscript, FileSystem& fs) {
    const std::string ext = ExtensionOf(manuscript);
    if (ext == "rtf") {
        return "Rich Text Format (RTF)";
    }
    if (ext == "tex") {
        return "LaTex";
    }
    if (ext == "docx" || ext == "docm" || ext == "odt" || ext == "doc") {
        return "Microsoft Word 97";
    }
    if (ext == "wpd" || ext == "wp5" || ext == "wp6") {
        // ".wpd" serves both generations, and files are renamed: the header says which it is,
        // the extension only where there is no header to read.
        std::string head(16, '\0');
        std::size_t got = 0;
        Outcome opened;
        if (std::unique_ptr<ReadableFile> file = fs.OpenForRead(manuscript, opened);
            !file || !file->ReadAt(0, head.data(), head.size(), got)) {
            got = 0;
        }
        head.resize(got);
        const DocumentKind generation = WordPerfectGeneration(head);
        const bool five = generation == DocumentKind::WordPerfect5 ||
                          (generation == DocumentKind::Plain && ext == "wp5");
        return five ? "WordPerfect 5.1/5.2" : "WordPerfect 6.0/6.1";
    }
    return "Text (ANSI)";
}

Outcome CompleteManuscript(const ManuscriptJob& job, const CompletionOptions& options,
                           Progress& progress, CompletionReport& report) {
    const std::string manuscript = ManuscriptPath(job.manuscript, options.documentDirectory);
    const std::string documentFormat =
        job.documentFormat.empty() ? DefaultDocumentFormat(manuscript) : job.documentFormat;
    TFormatDesc format;
    if (Outcome r = LoadFormatFile(format, job.formatFile); !r) {
        return r;
    }
    TDocumentLibrary library;
    // LaTeX and word-processor documents need no definition from the library.
    const bool latex = UpperText(documentFormat).find("LATEX") != std::string::npos;
    if (Outcome r = library.Load(options.documentDefinitions);
        !r && !latex && library.FormatIndex(Utf8ToCp1252(documentFormat)) != kWordAutomation) {
        return r;
    }
    CompletionRequest request;
    request.manuscript = manuscript;
    request.documentFormat = library.FormatIndex(Utf8ToCp1252(documentFormat));
    request.documentFormatName = documentFormat;
    request.library = &library;
    request.format = &format;
    request.render = options.render;
    request.progress = &progress;
    return CompleteDocument(request, report);
}

} // namespace cvx
