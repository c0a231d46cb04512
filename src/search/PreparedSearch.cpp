#include "search/PreparedSearch.h"

#include "refstore/ReferenceFile.h"
#include "text/Catalogue.h"
#include "text/Progress.h"

namespace cvx {

Outcome PrepareExpression(std::string_view text, PreparedExpression& prepared,
                          SearchResult& result) {
    std::size_t offset = 0;
    prepared.text = std::string(TrimmedExpression(text, offset));
    prepared.boolean = IsBooleanExpression(prepared.text);
    if (prepared.text.empty()) {
        result.errorPosition = 0;
        return Outcome::Error(Message(msg::Searching::EmptyExpression));
    }
    if (!prepared.boolean) {
        prepared.simple = SplitSimpleExpression(prepared.text);
        return Outcome::Ok();
    }
    CompileError error;
    if (!CompileExpression(text, prepared.compiled, error)) {
        result.errorPosition = error.position;
        return Outcome::Error(Message(error.message));
    }
    return Outcome::Ok();
}

void ShowSearchStatus(Progress* progress, std::string_view text) {
    if (progress != nullptr) {
        progress->SetStatus(text);
    }
}

Outcome FinishSearch(TReferenceFile& file, const PreparedExpression& expression, SearchMode mode,
                     Progress* progress, SearchResult& result) {
    int current = -1;
    if (mode == SearchMode::Tag) {
        file.DropDeletedFromSets();
        current = file.TaggedSet().First();
    } else if (mode == SearchMode::Locate) {
        current = file.LocatedSet().First();
    } else if (result.found) {
        current = result.matches.front();
    }
    Outcome moved;
    if (current >= 0) {
        moved = file.GoTo(file.AbsoluteToDisplay(current));
        result.current = current;
        result.showHits = true;
    } else if (mode != SearchMode::Locate) {
        result.notice = Msg(msg::RefWin::NoMatchFound, expression.text);
    }
    ShowSearchStatus(progress, Message(msg::RefWin::SearchingCompleted));
    if (progress != nullptr) {
        progress->SetProgress(0);
    }
    return moved;
}

} // namespace cvx
