#include "vorodud/ImportJob.h"

#include "lexmill/Lexmill.h"
#include "text/Catalogue.h"
#include "text/FileNames.h"
#include "vorodud/LexmillWrapper.h"
#include "vorodud/SourceDetection.h"
#include "vorodud/SourceTypes.h"

#include <algorithm>

namespace cvx::vorodud {

namespace {

// Runs the conversion on the driver's worker thread and waits for its end.
void RunToTheEnd(Vorodud& driver, int type, const ImportRequest& request, Progress& progress) {
    auto thread = driver.StartConversion(type, request.source, request.destination, request.mode,
                                         progress, nullptr);
    thread->Resume();
    thread->Wait();
}

// What a finished run means for the user: the report's status and messages from its result.
void JudgeRun(const ImportRequest& request, const std::string& text, const std::string& message,
              const std::optional<std::string>& legacyEncoding, ImportReport& report) {
    const Counters& c = report.counters;
    const bool nothing = c.written == 0 && c.dumped == 0;
    // The driver's own word, where its code cannot say it (a destination refused, a download
    // that is no regular file, a written text that could not take its place).
    if (!message.empty()) {
        report.messages.push_back(message);
        return;
    }
    switch (report.code) {
    case ResultCode::Done:
    case ResultCode::Aborted:
        break;
    case ResultCode::SourceNotAccessible:
        report.messages.push_back(Msg(msg::VorodudTexts::SourceUnreadable, DisplayPath(text)));
        return;
    case ResultCode::WriteError:
        // A destination that could not be opened at all is a failure before the run; a write
        // that failed midway keeps what was converted before it, and the counters say how much.
        if (nothing) {
            report.messages.push_back(
                Msg(msg::VorodudTexts::DestinationUnwritable, DisplayPath(text)));
            return;
        }
        report.messages.push_back(Msg(msg::VorodudTexts::WriteFailed, DisplayPath(text)));
        break;
    default:
        report.messages.push_back(ResultMessage(report.code, text));
        return;
    }
    report.converted = true;
    if (report.code == ResultCode::Aborted) {
        report.messages.push_back(ResultMessage(report.code, text));
    }
    if (report.dumpFileFailed) {
        report.messages.push_back(
            Msg(msg::VorodudTexts::DumpUnwritable, DisplayPath(report.dumpFile)));
    }
    if (report.code != ResultCode::Done) {
        return;
    }
    // A download in a legacy code page: what it was read as, and how many references lost
    // characters to the "???" marks.
    if (legacyEncoding && c.written > 0) {
        report.messages.push_back(
            legacyEncoding->empty()
                ? Msg(msg::Citavox::ImportUnknownEncoding, std::to_string(c.marked))
                : Msg(msg::Citavox::ImportLegacyEncoding, *legacyEncoding,
                      std::to_string(c.marked)));
    }
    if (nothing) {
        report.status = ImportStatus::NothingFound;
        report.messages.push_back(
            Msg(msg::VorodudTexts::NothingFound, DisplayPath(request.source)));
        return;
    }
    if (c.written == 0) {
        report.status = ImportStatus::AllDumped;
        report.messages.push_back(
            Msg(msg::Citavox::NothingWritten, DisplayPath(request.destination)));
        return;
    }
    report.status = ImportStatus::Succeeded;
}

} // namespace

ImportReport Import(const ImportRequest& request, const ImportSettings& settings,
                    Progress& progress) {
    ImportReport report;
    report.dumpFile = ErrorDumpFile(settings);
    report.type = request.type;
    if (report.type == 0) {
        const DetectedSource detected = DetectSource(request.source);
        if (detected.status != ImportStatus::Succeeded) {
            report.status = detected.status;
            report.code = detected.status == ImportStatus::Failed
                              ? ResultCode::SourceNotAccessible
                              : ResultCode::ConversionUnavailable;
            report.messages.push_back(detected.message);
            return report;
        }
        report.type = detected.type;
    }
    Vorodud driver(settings);
    std::string text;
    int type = report.type;
    if (!driver.Initialise(type)) {
        report.code = driver.LastResult(text);
        report.messages.push_back(ResultMessage(report.code, text));
        return report;
    }
    if (!request.label.empty()) {
        lexmill_SetCommonLabel(lx::Arg(request.label).c_str());
    }
    RunToTheEnd(driver, type, request, progress);
    report.code = driver.LastResult(text);
    report.counters = driver.LastCounters();
    report.dumpFileFailed = driver.LastDumpFileFailed();
    JudgeRun(request, text, driver.LastMessage(), driver.LastLegacyEncoding(), report);
    return report;
}

DetectedSource DetectSource(const std::string& source) {
    DetectedSource detected;
    if (!SourceReadable(source)) {
        detected.message = Msg(msg::VorodudTexts::SourceUnreadable, DisplayPath(source));
        return detected;
    }
    if (!SourceRegular(source)) {
        detected.message = Msg(msg::Citavox::SourceNotRegular, DisplayPath(source));
        return detected;
    }
    detected.type = DetectSourceType(source);
    if (detected.type == 0) {
        detected.status = ImportStatus::NotRecognised;
        detected.message = Msg(msg::VorodudTexts::SourceNotRecognised, DisplayPath(source));
        return detected;
    }
    detected.status = ImportStatus::Succeeded;
    return detected;
}

std::vector<SourceTypeEntry> UsableSourceTypes() {
    const Vorodud driver;
    std::vector<SourceTypeEntry> entries;
    for (const SourceType& t : SourceTypes()) {
        if (driver.TypeUsable(t.number)) {
            entries.push_back({t.number, std::string(t.key), driver.TypeText(t.number, 1),
                               driver.TypeText(t.number, 2)});
        }
    }
    std::sort(entries.begin(), entries.end(),
              [](const SourceTypeEntry& a, const SourceTypeEntry& b) { return a.type < b.type; });
    return entries;
}

std::string ResultMessage(ResultCode code, const std::string& text) {
    return Msg(MsgId{MsgList::VorOdud, static_cast<int>(code)}, DisplayPath(text));
}

} // namespace cvx::vorodud
