#pragma once
// The jobs over one open reference file that every front end runs the same way: opening a file
// for a job, listing and showing references, tagging by a sequence, deleting, appending to
// another file, reprint numbers, and the repair of line ends. References are numbered as the user
// numbers them: from 1, in file order. The jobs that only read go through the file's const read
// (ReferenceReader) and leave its cursor and sets as they are.

#include "refstore/ReferenceFile.h"
#include "text/Outcome.h"

#include <string>
#include <string_view>
#include <vector>

namespace cvx {

class Progress;
class WriteLock;

// Which references a job takes: every present one, the current one or the tagged ones.
using ReferenceScope = ReprintScope;

// Opens `name` for a job in the display order `order`. A missing file, and one too short to hold
// a reference, are refused with their own messages before the map is built.
Outcome OpenReferenceFile(TReferenceFile& file, const std::string& name, Progress* progress,
                          DisplayOrder order = DisplayOrder::Original);

// Opens `name` for a job that reads it (sorting, comparing, checking, lists, export), with the
// refusals of OpenReferenceFile. `held`: the job holds the file already (it rewrites it).
Outcome OpenReferenceText(FileSystem& fs, const std::string& name, Progress* progress,
                          std::shared_ptr<const ReferenceReader>& reader,
                          const WriteLock* held = nullptr);

// True when an opening was refused because the file's line ends are not CR LF, the one refusal
// that RepairLineEnds mends.
bool RefusedForLineEnds(const Outcome& opening);

// Makes reference `number` current; fails with the catalogue's message when there is none.
Outcome GoToReference(TReferenceFile& file, int number);

// A reference's one-line form as plain text (code page 1252): the short form of the list view
// without the markers of its title and without markup codes.
std::string PlainSingleLine(const StoredReference& ref);

// The status a parsed reference has in the list view.
RefStatus StatusOf(const StoredReference& ref);

struct ListedReference {
    int number = 0; // from 1, in file order
    RefStatus status = RefStatus::FormallyCorrect;
    bool tagged = false;
    std::string line; // PlainSingleLine
};

// Every visible reference in the file's display order.
Outcome ListReferences(const TReferenceFile& file, const FormalCheck& check,
                       std::vector<ListedReference>& list);

struct ShownReference {
    int number = 0;
    RefStatus status = RefStatus::FormallyCorrect;
    std::string identification; // the three parts of the reference text (code page 1252)
    std::string proper;
    std::string abstractPart;
    TRefArrData data; // parsed, with its formal check
};

// Reference `number` with its parts and fields.
Outcome ShowReference(const TReferenceFile& file, int number, const FormalCheck& check,
                      ShownReference& shown);

// Reference `number` parsed (without the formal checks).
Outcome ReadReference(const TReferenceFile& file, int number, TRefArrData& record);

// Tags the references of a sequence such as "1-3,7" (display positions, or file order when
// `absolute`), clearing the earlier tags, and saves the tags.
Outcome TagReferences(TReferenceFile& file, std::string_view sequence, bool absolute);

// Replaces the file's tags by a set of references found by a job that read `madeFrom` (the
// faulty references of a structure check, suspected duplicates) and saves them; refused when the
// file no longer holds the text that the job read.
Outcome ReplaceTags(TReferenceFile& file, const RefSet& set, const ReferenceReader& madeFrom);

// Deletes references, all in one hold and one rewrite of the file; every number is checked before
// anything is written. Their tags go with them (and the tags are saved when one was tagged).
Outcome DeleteReferences(TReferenceFile& file, const std::vector<int>& numbers);

// Deletes the tagged references and drops them from the tags, which are saved under the same
// hold. `deleted` counts them; with none tagged nothing is written.
Outcome DeleteTaggedReferences(TReferenceFile& file, int& deleted);

// Appends references to the end of another reference file: every present one, the tagged ones or
// reference `number` (ReferenceScope::Current); the tags stay as they were. `appended` counts
// them; with nothing to append nothing is written.
Outcome AppendReferences(TReferenceFile& file, const std::string& otherFile, ReferenceScope scope,
                         int number, int& appended);

// Applies or removes a reprint number (code page 1252, at least one digit, no blanks) on every
// present reference, the tagged ones or reference `number`.
Outcome ApplyReprintNumbers(TReferenceFile& file, bool apply, ReferenceScope scope, int number,
                            const std::string& reprintNumber);

// Rewrites a file whose line ends are not CR LF; `changed` tells whether it had to.
Outcome RepairLineEnds(const std::string& name, bool& changed);

} // namespace cvx
