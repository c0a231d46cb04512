// The tags of a reference file: tagging by a number sequence, and the tag file, which is tied to
// the version of the text it was saved for.

#include "refstore/Companions.h"
#include "refstore/ReferenceFile.h"
#include "refstore/StampFile.h"
#include "storage/FileRewrite.h"
#include "storage/WriteLock.h"
#include "text/Catalogue.h"
#include "text/FileNames.h"
#include "text/StringPrimitives.h"

#include <limits>

namespace cvx {

namespace {

// A tag file has N/8 + 13 bytes for N references.
std::uint64_t TagFileSize(int n) {
    return static_cast<std::uint64_t>(n) / 8 + 13;
}

} // namespace

Outcome TReferenceFile::TagSequence(std::string_view text, bool absolute, bool clearFirst) {
    if (clearFirst) {
        tagged_.ClearAll();
    }
    const int limit = absolute ? RefCount() : VisibleCount();
    auto tagRange = [&](long long from, long long to) {
        if (from > to) {
            std::swap(from, to);
        }
        for (long long p = std::max(from, 1LL); p <= std::min<long long>(to, limit); ++p) {
            const int position = static_cast<int>(p - 1);
            tagged_.Set(absolute ? position : DisplayToAbsolute(position));
        }
    };
    std::size_t i = 0;
    long long rangeStart = -1;
    while (i < text.size()) {
        if (!IsDigit(text[i])) {
            ++i;
            continue;
        }
        const std::size_t start = i;
        long long value = 0;
        while (i < text.size() && IsDigit(text[i])) {
            value = value * 10 + (text[i] - '0');
            if (value > std::numeric_limits<int>::max()) {
                return Outcome::Error(Msg(msg::RefWin::NotReferenceSequences, text.substr(start)));
            }
            ++i;
        }
        std::size_t after = i;
        while (after < text.size() && text[after] == ' ') {
            ++after;
        }
        const bool opensRange = after < text.size() && text[after] == '-';
        if (rangeStart >= 0) {
            tagRange(rangeStart, value);
            rangeStart = -1;
        } else if (opensRange) {
            rangeStart = value;
        } else {
            tagRange(value, value);
        }
        if (opensRange && rangeStart >= 0) {
            i = after + 1;
        }
    }
    if (rangeStart >= 0) {
        tagRange(rangeStart, rangeStart);
    }
    return Outcome::Ok();
}

void TReferenceFile::DropDeletedFromSets() {
    tagged_ = RefSet::And(tagged_, present_);
    located_ = RefSet::And(located_, present_);
}

// True when the tag file `image` was saved for the text version `text`: its stamp says so, or, for
// a tag file written by a program that keeps no stamps, it is not older than that text.
bool TReferenceFile::TagsBelong(std::string_view image, const TextStamp& text) const {
    const StampFile stamps = StampFile::Load(fs_, path_);
    if (const CompanionStamp* s = stamps.For(Stamped::Tags, image)) {
        return s->text == text;
    }
    return fs_.Stat(CompanionPath(fs_, path_, kTagExt)).modifiedNs >= text.modifiedNs;
}

void TReferenceFile::LoadTags() {
    tagged_ = RefSet(RefCount());
    std::string image;
    if (!open_ ||
        !ReadWholeFile(fs_, CompanionPath(fs_, path_, kTagExt), image, TagFileSize(RefCount())) ||
        !TagsBelong(image, reader_->Stamp()) || !tagged_.FromTagImage(image, RefCount())) {
        tagged_ = RefSet(RefCount());
    }
    // Only a present reference can be tagged; a tag file may still mark one deleted since.
    if (open_) {
        tagged_ = RefSet::And(tagged_, present_);
    }
}

void TReferenceFile::ReloadTags() {
    LoadTags();
}

Outcome TReferenceFile::SaveTags() {
    if (!open_) {
        return Outcome::Ok();
    }
    WriteLock lock;
    if (Outcome r = lock.Acquire(fs_, path_, name_, progress_); !r) {
        return r;
    }
    // The tags name references by number: saved for another text they would mark others.
    if (Outcome r = CheckUnchanged({}, lock); !r) {
        return r;
    }
    return WriteTags(lock);
}

Outcome TReferenceFile::WriteTags(const WriteLock& /*held*/) {
    const std::string path = CompanionPath(fs_, path_, kTagExt);
    const std::string image = tagged_.ToTagImage();
    if (Outcome r = WriteFileAtomically(fs_, path, image); !r) {
        return Outcome::Error(Msg(msg::Citavox::CannotWriteFile, DisplayPath(path)) + "\r" +
                              r.message());
    }
    // Without its stamp the tag file is still taken for the text it is newer than.
    StampFile stamps = StampFile::Load(fs_, path_);
    stamps.Set(Stamped::Tags, image, reader_->Stamp());
    (void)stamps.Save(fs_, path_, true);
    return Outcome::Ok();
}

// After a write that kept every reference at its number: the tag file saved for the text before
// the write is tied to the text after it.
void TReferenceFile::RebindTags(const TextStamp& before) {
    std::string image;
    if (!ReadWholeFile(fs_, CompanionPath(fs_, path_, kTagExt), image, TagFileSize(RefCount())) ||
        !TagsBelong(image, before)) {
        return;
    }
    StampFile stamps = StampFile::Load(fs_, path_);
    stamps.Set(Stamped::Tags, image, reader_->Stamp());
    (void)stamps.Save(fs_, path_, true);
}

} // namespace cvx
