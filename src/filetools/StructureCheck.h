#pragma once
// The structure check: every reference of a file tested against the formal rules of a scope the
// user chooses; the faulty ones become the file's tags, so the user can step through them. The
// thread is TCheckFormatDisplay; the reference window starts it and makes the result its tags.

#include "refstore/RefArrData.h"
#include "refstore/RefSet.h"
#include "text/JobThread.h"
#include "text/Outcome.h"

#include <memory>

namespace cvx {

class Progress;
class ReferenceReader;
class TReferenceFile;

struct CheckReport {
    Outcome outcome; // failed or aborted: the result is to be discarded
    RefSet faulty;   // by absolute index
    int references = 0;
};

// Tests every reference of `reader` that is not deleted with the rules of `scope`. A reference
// whose text cannot be split into its fields is faulty in every scope. The status shows the count
// of faulty references found so far.
CheckReport CheckReferenceStructure(const std::shared_ptr<const ReferenceReader>& reader,
                                    CheckKind scope, const FormalCheck& journals,
                                    Progress& progress);

// Checks the references of an open file and, unless aborted, makes the faulty ones its tags
// (replacing the tags it had, also when none was found), when the file still holds the text that
// was checked.
CheckReport CheckFileStructure(TReferenceFile& file, CheckKind scope, const FormalCheck& journals,
                               Progress& progress);

// The structure-check thread; one runs at a time. The window makes the report its tags with
// ReplaceTags when the thread has ended.
class TCheckFormatDisplay : public JobThread<CheckReport> {
public:
    TCheckFormatDisplay(std::shared_ptr<const ReferenceReader> reader, CheckKind scope,
                        FormalCheck journals, Progress& progress);
};

} // namespace cvx
