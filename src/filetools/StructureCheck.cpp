#include "filetools/StructureCheck.h"

#include "refstore/ReferenceFile.h"
#include "refstore/ReferenceJobs.h"
#include "refstore/ReferenceReader.h"
#include "text/Catalogue.h"
#include "text/Progress.h"

namespace cvx {

namespace {

RunGate gCheckGate;

} // namespace

CheckReport CheckReferenceStructure(const std::shared_ptr<const ReferenceReader>& reader,
                                    CheckKind scope, const FormalCheck& journals,
                                    Progress& progress) {
    CheckReport report;
    const int count = reader->Count();
    report.references = count;
    report.faulty = RefSet(count);
    progress.SetDetail(Message(msg::CheckFormat::NoFormalErrors));
    ReadBuffer buffer;
    std::string bytes;
    for (int i = 0; i < count; ++i) {
        if (progress.AbortRequested()) {
            report.outcome = Outcome::Aborted(Message(msg::CheckFormat::CheckAborted));
            return report;
        }
        if (!reader->IsDeleted(i)) {
            if (report.outcome = reader->ReadRaw(i, bytes, &buffer); !report.outcome) {
                return report;
            }
            const ParsedReference parsed = ParseReference(bytes, false);
            if (parsed.ruined || ReferenceFormatFaulty(parsed.data, scope, journals)) {
                report.faulty.Set(i);
                progress.SetDetail(
                    Msg(msg::CheckFormat::RefsWithProblems, std::to_string(report.faulty.Count())));
            }
        }
        if (i % 64 == 0 || i + 1 == count) {
            progress.SetProgress(Permille(i + 1, count));
        }
    }
    return report;
}

CheckReport CheckFileStructure(TReferenceFile& file, CheckKind scope, const FormalCheck& journals,
                               Progress& progress) {
    const std::shared_ptr<const ReferenceReader> reader = file.Reader();
    CheckReport report = CheckReferenceStructure(reader, scope, journals, progress);
    if (report.outcome) {
        report.outcome = ReplaceTags(file, report.faulty, *reader);
    }
    return report;
}

TCheckFormatDisplay::TCheckFormatDisplay(std::shared_ptr<const ReferenceReader> reader,
                                         CheckKind scope, FormalCheck journals, Progress& progress)
    : JobThread<CheckReport>(
          [reader = std::move(reader), scope, journals](Progress& p) {
              return CheckReferenceStructure(reader, scope, journals, p);
          },
          progress, &gCheckGate, Message(msg::Threads::CheckingStructure)) {}

} // namespace cvx
