#include "documents/CitedReferences.h"

#include "refstore/ReferenceFile.h"
#include "text/AuthorNames.h"
#include "text/CaseMapping.h"
#include "text/Catalogue.h"
#include "text/Collation.h"
#include "text/FileNames.h"
#include "text/Progress.h"
#include "text/StringPrimitives.h"

#include <algorithm>
#include <map>
#include <memory>
#include <numeric>
#include <unordered_map>

namespace cvx {

namespace {

Outcome StopAt(const std::string& message, int line) {
    return Outcome::Error(message + Msg(msg::Documents::AtLine, std::to_string(line)));
}

// A text without full stops, cut before "[" and trimmed (journal names compared across files).
std::string JournalForComparison(std::string_view journal) {
    std::string s(journal.substr(0, journal.find('[')));
    std::erase(s, '.');
    return TrimBlanks(s);
}

// A title without full stops, in capitals (titles compared across files and as the last key).
std::string TitleKey(std::string_view title) {
    std::string s = UpperText(title);
    std::erase(s, '.');
    return TrimBlanks(s);
}

// Two references read from different files are one when these agree. A reference without a title
// is never taken for another (an empty title would otherwise match every title).
bool SameReference(const TOneActualRef& a, const TOneActualRef& b, Collation collation) {
    if (a.keys.year != b.keys.year || a.keys.volume != b.keys.volume ||
        a.keys.pageFirst != b.keys.pageFirst) {
        return false;
    }
    if (CompareKeys(collation, a.keys.authorKey, b.keys.authorKey) != kSortsEqual ||
        JournalForComparison(a.journal) != JournalForComparison(b.journal)) {
        return false;
    }
    const std::string ta = TitleKey(a.title);
    const std::string tb = TitleKey(b.title);
    if (ta.empty() || tb.empty()) {
        return false;
    }
    const std::size_t n = std::min(ta.size(), tb.size());
    return ta.compare(0, n, tb, 0, n) == 0;
}

// "a" ... "z", then "aa", "ab", ...
std::string LetterFor(int k) {
    std::string s;
    do {
        s.insert(s.begin(), static_cast<char>('a' + k % 26));
        k = k / 26 - 1;
    } while (k >= 0);
    return s;
}

// The author-year contraction: the first two letters of the first author and the last two
// digits of the year ("Mo95").
std::string AuthorYearContraction(const TRefArrData& record) {
    const std::string first = NextAuthorName(Unquote(record[FieldIndex::Authors])).name;
    std::string s = first.substr(0, 1);
    if (first.size() > 1) {
        const unsigned char second = UpperChar(static_cast<unsigned char>(first[1]));
        if ((second >= 'A' && second <= 'Z') || second == 0xC4 || second == 0xC5 ||
            second == 0xD6) {
            s += first[1];
        }
    }
    const std::string& year = record[FieldIndex::Year];
    return s + (year.size() < 4 ? std::string("??") : year.substr(year.size() - 2));
}

int Compare3(int a, int b) {
    return a < b ? kSortsBefore : a > b ? kSortsAfter : kSortsEqual;
}

} // namespace

std::string InsertLetter(std::string_view citation, std::string_view letter, std::size_t yearEnd) {
    if (yearEnd <= citation.size()) {
        return std::string(citation.substr(0, yearEnd)) + std::string(letter) +
               std::string(citation.substr(yearEnd));
    }
    auto isAlnum = [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
               static_cast<unsigned char>(c) >= 0xC0;
    };
    auto isCodeLetter = [&](std::size_t i) {
        // The letter of a markup code "#X", unless the "#" is itself the second of "##".
        return i > 0 && citation[i - 1] == '#' && (i < 2 || citation[i - 2] != '#');
    };
    for (std::size_t i = citation.size(); i-- > 0;) {
        if (isAlnum(citation[i]) && !isCodeLetter(i)) {
            return std::string(citation.substr(0, i + 1)) + std::string(letter) +
                   std::string(citation.substr(i + 1));
        }
    }
    return std::string(citation) + std::string(letter);
}

Outcome TCitedReferences::Collect(const std::vector<CitationRequest>& citations,
                                  Collation collation, const RenderOptions& render, FileSystem& fs,
                                  Progress* progress) {
    refs_.clear();
    records_.clear();
    files_.clear();
    citationRef_.assign(citations.size(), -1);

    // 1. Open every file once and check every citation, in document order, so the first
    //    pseudo-citation at fault is the one reported.
    std::map<std::string, std::size_t> fileIndex;
    std::vector<std::unique_ptr<TReferenceFile>> open;
    std::vector<std::size_t> fileOf(citations.size());
    std::map<std::pair<std::size_t, int>, TRefArrData> records; // (file, number), in file order
    for (std::size_t i = 0; i < citations.size(); ++i) {
        const CitationRequest& c = citations[i];
        auto [fileIt, newFile] = fileIndex.emplace(c.file, files_.size());
        const std::string shown = DisplayPath(c.file);
        if (newFile) {
            if (files_.size() >= static_cast<std::size_t>(kMaxReferenceFiles)) {
                return StopAt(Msg(msg::Manusproduction::TooManyReferenceFiles), c.line);
            }
            const FileInfo info = fs.Stat(c.file);
            auto file = std::make_unique<TReferenceFile>(fs);
            if (!info.exists || info.isDirectory || info.size == 0) {
                return StopAt(
                    Msg(msg::FileOpen::PseudoCitationFileMissing, std::to_string(c.running), shown),
                    c.line);
            }
            if (Outcome r = file->Open(c.file); !r) {
                return StopAt(r.message(), c.line);
            }
            if (file->RefCount() == 0) {
                return StopAt(
                    Msg(msg::FileOpen::PseudoCitationFileMissing, std::to_string(c.running), shown),
                    c.line);
            }
            files_.push_back({c.file, 0, 0});
            open.push_back(std::move(file));
        }
        const std::size_t f = fileIt->second;
        fileOf[i] = f;
        ++files_[f].citations;
        const TReferenceFile& file = *open[f];
        if (c.number >= file.RefCount()) {
            return StopAt(Msg(msg::FileOpen::ReferenceBeyondEnd, std::to_string(c.number + 1),
                              shown, std::to_string(file.RefCount())),
                          c.line);
        }
        if (file.Status(file.AbsoluteToDisplay(c.number)) == RefStatus::Deleted) {
            return StopAt(Msg(msg::CreateFormDocs::CitedReferenceDeleted, std::to_string(c.running),
                              std::to_string(c.number + 1), shown),
                          c.line);
        }
        records.try_emplace({f, c.number});
    }

    // 2. Read the references in the order they stand in their files, which keeps the reads of a
    //    large file few and forward.
    std::size_t done = 0;
    ReadBuffer buffer;
    StoredReference stored;
    for (auto& [key, record] : records) {
        if (progress != nullptr && done++ % 64 == 0) {
            if (progress->AbortRequested()) {
                return Outcome::Aborted();
            }
            progress->SetProgress(Permille(done, records.size()));
        }
        if (Outcome r = open[key.first]->Reader()->Parse(key.second, false, {}, stored, &buffer);
            !r) {
            return Outcome::Error(r.message());
        }
        record = std::move(stored.data);
    }

    // 3. In document order: one reference per (file, number), and one for a reference that two
    //    files hold. References are found again by (year, volume, first page).
    std::map<std::pair<std::size_t, int>, int> byNumber;
    std::unordered_map<std::string, std::vector<int>> byKeys;
    for (std::size_t i = 0; i < citations.size(); ++i) {
        const CitationRequest& c = citations[i];
        const std::size_t f = fileOf[i];
        if (auto known = byNumber.find({f, c.number}); known != byNumber.end()) {
            citationRef_[i] = known->second;
            continue;
        }
        const TRefArrData& record = records.at({f, c.number});
        TOneActualRef ref;
        ref.file = c.file;
        ref.number = c.number;
        ref.formatError = record.sourceType == SourceType::Unparsed;
        ref.keys = MakeSortRecord(record, c.number, 0, render.journals, collation);
        ref.journal = record[FieldIndex::Journal];
        ref.title = record[FieldIndex::Title];
        ref.year = record[FieldIndex::Year].substr(0, 4);

        int same = -1;
        const std::string bucket = std::to_string(ref.keys.year) + "/" +
                                   std::to_string(ref.keys.volume) + "/" +
                                   std::to_string(ref.keys.pageFirst);
        if (!ref.formatError) {
            for (int other : byKeys[bucket]) {
                if (refs_[static_cast<std::size_t>(other)].file != ref.file &&
                    SameReference(refs_[static_cast<std::size_t>(other)], ref, collation)) {
                    same = other;
                    break;
                }
            }
        }
        if (same < 0) {
            same = static_cast<int>(refs_.size());
            ref.sequence = same;
            const bool formatError = ref.formatError;
            refs_.push_back(std::move(ref));
            records_.push_back(record);
            ++files_[f].references;
            if (!formatError) {
                byKeys[bucket].push_back(same);
            }
        }
        byNumber[{f, c.number}] = same;
        citationRef_[i] = same;
    }
    return Outcome::Ok();
}

void TCitedReferences::Prepare(const TFormatDesc& format, Collation collation,
                               const RenderOptions& render) {
    Render(format, render);
    Order(format, collation);
    if (format.record.shortForm != 1) {
        AssignLetters();
    }
    CheckContractions(format);
}

void TCitedReferences::Render(const TFormatDesc& format, const RenderOptions& render) {
    TFormatDesc contracting = format;
    contracting.etAlContraction = true;
    const bool contract = format.record.allowEtAl != 0;
    RenderOptions labelOptions = render;
    labelOptions.latex = false;
    labelOptions.suppressRtf = true;
    for (std::size_t i = 0; i < refs_.size(); ++i) {
        TOneActualRef& ref = refs_[i];
        const TRefArrData& record = records_[i];
        ref.label = AuthorYearLabel(record, labelOptions);
        if (ref.formatError) {
            ref.shortCitation = Msg(msg::Manusproduction::FormatErrorEntry, DisplayPath(ref.file),
                                    std::to_string(ref.number + 1));
            ref.contracted = ref.shortCitation;
            ref.listEntry = ref.shortCitation;
            continue;
        }
        switch (format.record.shortForm) {
        case 0:
            ref.shortYearEnd =
                RenderReferenceMarked(format, false, record, ref.shortCitation, render).yearEnd;
            if (contract) {
                ref.contractedYearEnd =
                    RenderReferenceMarked(contracting, false, record, ref.contracted, render)
                        .yearEnd;
            } else {
                ref.contracted = ref.shortCitation;
                ref.contractedYearEnd = ref.shortYearEnd;
            }
            break;
        case 2:
            ref.shortCitation = AuthorYearContraction(record);
            ref.contracted = ref.shortCitation;
            break;
        default:
            break;
        }
        const RenderMarks marks =
            RenderReferenceMarked(format, true, record, ref.listEntry, render);
        ref.authorsEnd = marks.authorsEnd;
        ref.listYearEnd = marks.yearEnd;
    }
}

void TCitedReferences::Order(const TFormatDesc& format, Collation collation) {
    listOrder_.resize(refs_.size());
    std::iota(listOrder_.begin(), listOrder_.end(), 0);
    const int order = format.record.refListSortOrder;
    if (order != 4) {
        const bool chronological = order == 1 || order == 3;
        auto compare = [&](int ia, int ib) {
            const TOneActualRef& a = refs_[ia];
            const TOneActualRef& b = refs_[ib];
            const int authors = CompareKeys(collation, a.keys.authorKey, b.keys.authorKey);
            const int journal = CompareKeys(collation, a.keys.journalKey, b.keys.journalKey);
            const int keys[] = {chronological ? Compare3(a.keys.year, b.keys.year) : authors,
                                chronological ? authors : Compare3(a.keys.year, b.keys.year),
                                chronological ? Compare3(a.keys.volume, b.keys.volume) : journal,
                                chronological ? Compare3(a.keys.pageFirst, b.keys.pageFirst)
                                              : Compare3(a.keys.volume, b.keys.volume),
                                chronological ? journal
                                              : Compare3(a.keys.pageFirst, b.keys.pageFirst),
                                CompareKeys(collation, TitleKey(a.title), TitleKey(b.title))};
            for (int k : keys) {
                if (k != kSortsEqual) {
                    return k == kSortsBefore;
                }
            }
            return false;
        };
        std::stable_sort(listOrder_.begin(), listOrder_.end(), compare);
    }
    for (std::size_t place = 0; place < listOrder_.size(); ++place) {
        refs_[static_cast<std::size_t>(listOrder_[place])].listPosition = static_cast<int>(place);
    }
}

void TCitedReferences::AssignLetters() {
    std::map<std::string, std::vector<int>> byCitation;
    for (int i : listOrder_) {
        if (!refs_[static_cast<std::size_t>(i)].formatError) {
            byCitation[refs_[static_cast<std::size_t>(i)].shortCitation].push_back(i);
        }
    }
    for (const auto& [citation, same] : byCitation) {
        if (same.size() < 2) {
            continue;
        }
        for (std::size_t k = 0; k < same.size(); ++k) {
            TOneActualRef& ref = refs_[static_cast<std::size_t>(same[k])];
            ref.letter = LetterFor(static_cast<int>(k));
            ref.shortCitation = InsertLetter(ref.shortCitation, ref.letter, ref.shortYearEnd);
            ref.contracted = InsertLetter(ref.contracted, ref.letter, ref.contractedYearEnd);
            // The letter follows the year element of the entry, never a year inside a title.
            if (const std::size_t at = ref.listYearEnd; at <= ref.listEntry.size()) {
                ref.listEntry.insert(at, ref.letter);
                if (ref.authorsEnd > at) {
                    ref.authorsEnd += ref.letter.size();
                }
            }
        }
    }
}

void TCitedReferences::CheckContractions(const TFormatDesc& format) {
    // Two references whose contractions agree while their full citations differ would be
    // mistaken for each other at a later citation: both keep their full citation.
    std::map<std::string, std::vector<int>> byContracted;
    for (std::size_t i = 0; i < refs_.size(); ++i) {
        byContracted[refs_[i].contracted].push_back(static_cast<int>(i));
    }
    for (const auto& [contracted, same] : byContracted) {
        bool differ = false;
        for (int i : same) {
            differ = differ || refs_[static_cast<std::size_t>(i)].shortCitation !=
                                   refs_[static_cast<std::size_t>(same[0])].shortCitation;
        }
        for (int i : same) {
            TOneActualRef& ref = refs_[static_cast<std::size_t>(i)];
            if (differ) {
                ref.contracted = ref.shortCitation;
            }
        }
    }
    const std::string substitute(GetPoolString(
        format, FormFor(format, SourceType::Journal, false).authorStyle.substSuperNames));
    if (substitute.empty()) {
        return;
    }
    for (TOneActualRef& ref : refs_) {
        if (ref.contracted != ref.shortCitation &&
            ref.contracted.find(substitute) == std::string::npos) {
            ref.contracted = ReplaceAll(ref.contracted, " et al.", substitute);
        }
    }
}

std::vector<std::string> ReferenceListEntries(const TFormatDesc& format,
                                              const TCitedReferences& references) {
    const auto& refs = references.References();
    const std::string substitute(GetPoolString(format, format.record.substAuthors));
    std::vector<std::string> entries;
    const TOneActualRef* previous = nullptr;
    for (int index : references.ListOrder()) {
        const TOneActualRef& ref = refs[static_cast<std::size_t>(index)];
        std::string entry = ref.listEntry;
        if (format.record.skipRepeats != 0 && previous != nullptr && ref.authorsEnd > 0 &&
            previous->authorsEnd > 0 && ref.authorsEnd <= entry.size() &&
            previous->authorsEnd <= previous->listEntry.size() &&
            std::string_view(entry).substr(0, ref.authorsEnd) ==
                std::string_view(previous->listEntry).substr(0, previous->authorsEnd)) {
            // The blank that ends the author part stays, unless the part is removed.
            std::size_t part = ref.authorsEnd;
            while (!substitute.empty() && part > 0 && entry[part - 1] == ' ') {
                --part;
            }
            entry.replace(0, part, substitute);
        }
        previous = &ref;
        std::string text;
        if (format.record.shortForm == 1) {
            text = NumberLabel(format, format.record.numberingStyle, ref.listPosition + 1);
            if (StartsWith(entry, "#T") && text.ends_with(' ')) {
                text.pop_back();
            }
        }
        entries.push_back(text + entry);
    }
    return entries;
}

int TCitedReferences::FormatErrors() const {
    return static_cast<int>(std::count_if(refs_.begin(), refs_.end(),
                                          [](const TOneActualRef& r) { return r.formatError; }));
}

} // namespace cvx
