#include "vorodud/Procedure.h"

#include "text/Catalogue.h"
#include "text/FileNames.h"
#include "text/Progress.h"
#include "vorodud/LexmillWrapper.h"

namespace cvx::vorodud {

Session::Session(Progress& progress, std::string sourceName)
    : progress_(progress), sourceName_(std::move(sourceName)) {}

bool Session::Report() {
    progress_.SetProgress(
        Permille(static_cast<unsigned long long>(std::max(lexmill_GetAbsPos(), 0)),
                 static_cast<unsigned long long>(std::max(lexmill_GetInSize(), 0))));
    if (progress_.AbortRequested()) {
        aborted_ = true;
        return false;
    }
    return !lx::RunFailed();
}

bool Session::Write() {
    lexmill_WriteToFile();
    ++records_;
    progress_.SetDetail(Msg(msg::VorodudTexts::ReferenceNumber, std::to_string(records_)));
    return Report();
}

bool Session::Continue() {
    return Report();
}

void Procedure::Convert(Session& session) {
    while (lexmill_GetFilSlut() == 0) {
        ReadRecord();
        const bool reference = lexmill_GetMLine() > 0 && Fill();
        if (!(reference ? session.Write() : session.Continue())) {
            return;
        }
    }
}

} // namespace cvx::vorodud
