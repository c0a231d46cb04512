#include "search/SearchFile.h"

#include "refstore/ReferenceFile.h"
#include "search/PreparedSearch.h"
#include "search/ReferenceMatcher.h"
#include "text/Catalogue.h"
#include "text/FileNames.h"
#include "text/Progress.h"

#include <algorithm>

namespace cvx {

namespace {

constexpr int kProgressEvery = 192;

} // namespace

Outcome SearchFile(TReferenceFile& file, std::string_view expression, SearchMode mode,
                   bool ignoreDiacritics, Progress* progress, SearchResult& result) {
    result = SearchResult();
    if (!file.IsOpen()) {
        return Outcome::Error(Msg(msg::RefWin::CannotAccessFile, DisplayPath(file.FileName())));
    }
    const FoldingTable& table = SearchFoldingTable(ignoreDiacritics);
    PreparedExpression prepared;
    if (Outcome r = PrepareExpression(expression, prepared, result); !r) {
        return r;
    }
    // Tagging with required words only takes them as the alternatives too; getting and locating
    // with required words only narrow the tagged references.
    if (!prepared.boolean && mode == SearchMode::Tag && prepared.simple.alternative.empty()) {
        prepared.simple.alternative = prepared.simple.required;
    }
    const bool narrowing = !prepared.boolean && prepared.simple.alternative.empty();
    const ReferenceMatcher matcher = prepared.boolean ? ReferenceMatcher(prepared.compiled, table)
                                                      : ReferenceMatcher(prepared.simple, table);
    result.hitWords = HitWords(prepared.text, table);
    result.diacriticsIgnored = ignoreDiacritics;

    const std::shared_ptr<const ReferenceReader> reader = file.Reader();
    RefSet& marks = mode == SearchMode::Locate ? file.LocatedSet() : file.TaggedSet();
    const int visible = file.VisibleCount();
    const int start = file.CurrentPosition();
    ShowSearchStatus(progress, Message(msg::RefWin::Searching));
    ReadBuffer buffer;
    std::string block;
    for (int step = 1; step <= visible; ++step) {
        const int position = (start + step) % visible;
        if (progress != nullptr && step % kProgressEvery == 0) {
            progress->SetProgress(
                Permille(static_cast<unsigned>(position), static_cast<unsigned>(visible)));
            if (progress->AbortRequested()) {
                return Outcome::Aborted(Message(msg::RefWin::TaggingAborted));
            }
        }
        const int index = file.DisplayToAbsolute(position);
        if (reader->IsDeleted(index) || (narrowing && !file.IsTagged(index))) {
            continue;
        }
        if (!reader->ReadRaw(index, block, &buffer)) {
            return Outcome::Error(Msg(msg::RefWin::CannotAccessFile, DisplayPath(file.FileName())));
        }
        const bool match =
            matcher.MatchesReference(block, index, &file.TaggedSet(), &file.LocatedSet());
        if (match) {
            result.found = true;
            result.matches.push_back(index);
        }
        if (mode == SearchMode::Get) {
            if (match) {
                result.wrapped = start + step >= visible;
                break;
            }
        } else if (match || prepared.boolean || narrowing) {
            marks.SetTo(index, match);
        }
    }
    std::sort(result.matches.begin(), result.matches.end());
    return FinishSearch(file, prepared, mode, progress, result);
}

} // namespace cvx
