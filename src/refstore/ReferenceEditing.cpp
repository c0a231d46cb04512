// Changing the text of a reference file. Every change holds the file (WriteLock) from the check
// that the file is still the version this object read until its new map and stamps are saved, so
// writers of one file, in this process or others, never work on each other's half-done changes.

#include "refstore/Companions.h"
#include "refstore/OrderFile.h"
#include "refstore/ReferenceFile.h"
#include "storage/AppendSession.h"
#include "storage/FileRewrite.h"
#include "storage/WriteLock.h"
#include "text/Catalogue.h"
#include "text/FileNames.h"
#include "text/Progress.h"
#include "text/StringPrimitives.h"

#include <limits>

namespace cvx {

Outcome TReferenceFile::WriteFailed(const Outcome& cause) const {
    if (cause.aborted()) {
        return cause;
    }
    return Outcome::Error(ReferenceFileNotCreated(cause));
}

Outcome TReferenceFile::BeginWrite(const std::vector<int>& touched, WriteLock& lock) {
    if (!open_) {
        return Outcome::Error(Msg(msg::FileOpen::UnableToOpen, DisplayPath(name_)));
    }
    if (Outcome r = lock.Acquire(fs_, path_, name_, progress_); !r) {
        return r;
    }
    const FileInfo info = fs_.Stat(path_);
    if (info.exists && !info.writable) {
        return Outcome::Error(Msg(msg::FileOpen::FileReadOnly, DisplayPath(name_)));
    }
    return CheckUnchanged(touched, lock);
}

Outcome TReferenceFile::CheckUnchanged(const std::vector<int>& touched, WriteLock& lock) {
    if (StampOfName() == reader_->Stamp() && reader_->EntriesFit(touched)) {
        return Outcome::Ok();
    }
    // Changed behind this object's back: the map is made anew and the user decides again.
    const std::string name = name_;
    if (Outcome r = RefreshKeepingPosition(view_.Position(), true, &lock); !r) {
        return r;
    }
    return Outcome::Error(Msg(msg::Citavox::FileChangedOutside, DisplayPath(name)));
}

Outcome TReferenceFile::RewriteBlocks(WriteLock& lock, const BlockWriter& each) {
    const ReferenceReader& text = *reader_;
    return RewriteFile(
        fs_, path_,
        [&](WritableFile& out) {
            // What stands before the first block stays as it is.
            if (Outcome r = text.CopyTo(0, text.Entry(0).offset, out); !r) {
                return r;
            }
            ReadBuffer buffer;
            for (int i = 0; i < text.Count(); ++i) {
                if (Outcome r = each(i, out, buffer); !r) {
                    return r;
                }
            }
            return Outcome::Ok();
        },
        &lock);
}

Outcome TReferenceFile::EndWrite(WriteLock& lock, bool keepSets) {
    const TextStamp before = reader_->Stamp();
    const int countBefore = RefCount();
    Outcome r = RefreshKeepingPosition(view_.Position(), keepSets, &lock);
    if (r && keepSets && RefCount() == countBefore) {
        RebindTags(before);
    }
    return r;
}

Outcome TReferenceFile::AppendText(std::string_view text) {
    WriteLock lock;
    if (Outcome r = BeginWrite({}, lock); !r) {
        return r;
    }
    AppendSession session(fs_);
    if (Outcome r = session.Open(path_, name_, progress_, std::move(lock)); !r) {
        return WriteFailed(r);
    }
    Outcome r = session.Append(text);
    if (r) {
        r = session.Commit();
    } else {
        session.Abandon();
    }
    if (!r) {
        return WriteFailed(r);
    }
    return EndWrite(session.Lock(), true);
}

Outcome TReferenceFile::ReplaceCurrent(std::string_view text) {
    const int current = view_.Current();
    if (text.size() > std::numeric_limits<std::uint16_t>::max()) {
        return Outcome::Error(Msg(msg::Citavox::ReferenceTooLong, std::to_string(current + 1),
                                  DisplayPath(name_), std::to_string(text.size())));
    }
    WriteLock lock;
    if (Outcome r = BeginWrite({current}, lock); !r) {
        return r;
    }
    const MapEntry e = reader_->Entry(current);
    if (Outcome r = ReplaceFileRegion(fs_, path_, e.offset, text, e.length, &lock); !r) {
        return WriteFailed(r);
    }
    return EndWrite(lock, true);
}

Outcome TReferenceFile::DeleteCurrent() {
    if (RefCount() == 0) {
        return Outcome::Ok();
    }
    const int deletedIndex = view_.Current();
    WriteLock lock;
    if (Outcome r = BeginWrite({deletedIndex, deletedIndex + 1}, lock); !r) {
        return r;
    }
    const std::string orderPath = CompanionPath(fs_, path_, kOrderExt);
    const bool ordersValid = OrderFileValid(fs_, orderPath, path_, RefCount());
    const MapEntry e = reader_->Entry(deletedIndex);
    if (Outcome r = ReplaceFileRegion(fs_, path_, e.offset, kDeletedMarker,
                                      reader_->Span(deletedIndex), &lock);
        !r) {
        return WriteFailed(r);
    }
    if (ordersValid && present_.Test(deletedIndex)) {
        (void)MoveIndexToEnd(fs_, orderPath, RefCount(), deletedIndex);
    }
    return EndWrite(lock, true);
}

Outcome TReferenceFile::DeleteAt(const std::vector<int>& indices) {
    RefSet chosen(RefCount());
    std::vector<int> touched;
    for (int i : indices) {
        if (i < 0 || i >= RefCount()) {
            return Outcome::Error(Msg(msg::FileOpen::ReferenceBeyondEnd, std::to_string(i + 1),
                                      DisplayPath(name_), std::to_string(RefCount())));
        }
        chosen.Set(i);
        touched.push_back(i);
        touched.push_back(i + 1);
    }
    if (chosen.Count() == 0) {
        return Outcome::Ok();
    }
    WriteLock lock;
    if (Outcome r = BeginWrite(touched, lock); !r) {
        return r;
    }
    const std::string orderPath = CompanionPath(fs_, path_, kOrderExt);
    const bool ordersValid = OrderFileValid(fs_, orderPath, path_, RefCount());
    std::vector<int> moved; // to the end of the stored orders, in the order they were named
    for (int i : indices) {
        if (present_.Test(i)) {
            moved.push_back(i);
        }
    }
    const Outcome written = RewriteBlocks(lock, [&](int i, WritableFile& out, ReadBuffer& buffer) {
        return chosen.Test(i) ? out.Append(kDeletedMarker) : reader_->CopyBlock(i, out, &buffer);
    });
    if (!written) {
        return WriteFailed(written);
    }
    if (ordersValid && !moved.empty()) {
        (void)MoveIndicesToEnd(fs_, orderPath, RefCount(), moved);
    }
    const int tagged = tagged_.Count();
    if (Outcome r = EndWrite(lock, true); !r) {
        return r;
    }
    // A deleted reference can no longer be tagged: its tag goes with it. Should the tag file not
    // be written, the one on the disk differs only by tags of deleted references, which loading
    // drops; the deletion stands.
    DropDeletedFromSets();
    if (tagged_.Count() != tagged) {
        (void)WriteTags(lock);
    }
    return Outcome::Ok();
}

Outcome TReferenceFile::DeleteTagged() {
    if (RefCount() == 0 || tagged_.Count() == 0) {
        return Outcome::Ok();
    }
    std::vector<int> touched;
    for (int i = 0; i < RefCount(); ++i) {
        if (tagged_.Test(i)) {
            touched.push_back(i);
            touched.push_back(i + 1);
        }
    }
    WriteLock lock;
    if (Outcome r = BeginWrite(touched, lock); !r) {
        return r;
    }
    const Outcome written = RewriteBlocks(lock, [&](int i, WritableFile& out, ReadBuffer& buffer) {
        return tagged_.Test(i) ? out.Append(kDeletedMarker) : reader_->CopyBlock(i, out, &buffer);
    });
    if (!written) {
        return WriteFailed(written);
    }
    if (Outcome r = EndWrite(lock, true); !r) {
        return r;
    }
    // The tags pointed at what is now deleted; they are dropped, and the tag file saved before
    // another writer may look at the file (as in DeleteAt, a tag file that could not be written
    // still holds only tags of deleted references, which loading drops).
    DropDeletedFromSets();
    (void)WriteTags(lock);
    return Outcome::Ok();
}

Outcome TReferenceFile::Compress() {
    if (present_.Count() == 0) {
        return Outcome::Ok();
    }
    WriteLock lock;
    if (Outcome r = BeginWrite({0, RefCount() - 1}, lock); !r) {
        return r;
    }
    ShowStatus(Msg(msg::RefWin::CompressingFile));
    const Outcome written = RewriteBlocks(lock, [&](int i, WritableFile& out, ReadBuffer& buffer) {
        if (progress_ && i % 64 == 0) {
            progress_->SetProgress(Permille(reader_->Entry(i).offset, reader_->TextSize()));
        }
        return present_.Test(i) ? reader_->CopyBlock(i, out, &buffer) : Outcome::Ok();
    });
    if (progress_) {
        progress_->SetProgress(0);
    }
    if (!written) {
        return WriteFailed(written);
    }
    // The old tags no longer fit once references are gone: compressing clears them.
    (void)fs_.Remove(CompanionPath(fs_, path_, kTagExt));
    return EndWrite(lock, false);
}

Outcome TReferenceFile::AppendTo(const std::string& otherFile, bool taggedOnly) {
    if (!open_ || RefCount() == 0) {
        return Outcome::Ok();
    }
    const std::string other = fs_.ResolveLinks(otherFile);
    for (const std::string& name : {otherFile, other}) {
        if (Outcome r = CheckReferenceFileName(name); !r) {
            return r;
        }
    }
    if (fs_.Stat(other).SameFileAs(fs_.Stat(path_))) {
        return Outcome::Error(Msg(msg::FileOpen::CannotCopyBack));
    }
    ShowStatus(Msg(msg::FileOpen::AppendingReferences));
    std::vector<int> chosen;
    if (taggedOnly) {
        for (int pos = 0; pos < RefCount(); ++pos) {
            if (tagged_.Test(DisplayToAbsolute(pos))) {
                chosen.push_back(DisplayToAbsolute(pos));
            }
        }
    } else {
        chosen.push_back(view_.Current());
    }
    AppendSession session(fs_);
    if (Outcome r = session.Open(other, otherFile, progress_); !r) {
        return r;
    }
    // Each block is checked as it is read; anything amiss leaves the other file as it was.
    std::string bytes;
    ReadBuffer buffer;
    Outcome r;
    for (int index : chosen) {
        if (r = reader_->ReadRaw(index, bytes, &buffer); !r) {
            session.Abandon();
            return r;
        }
        if (r = session.Append("\r\n\r\n"); r) {
            r = session.Append(bytes);
        }
        if (!r) {
            break;
        }
    }
    if (r) {
        r = session.Commit();
    } else {
        session.Abandon();
    }
    if (!r) {
        return Outcome::Error(
            FailureMessage(r, Msg(msg::Citavox::AppendNotWritten, DisplayPath(otherFile)),
                           Msg(msg::FileOpen::OutputNoLongerWritable)));
    }
    // The other file's companions describe its old text; they are made anew when it opens.
    RemoveCompanions(fs_, other);
    ShowStatus(Msg(msg::FileOpen::AppendingCompleted));
    return MakeCurrent(view_.Position());
}

Outcome TReferenceFile::WriteRawRange(std::string_view text) {
    constexpr std::size_t kMaxRawText = 32768;
    const std::string written = TrimRightBlanks(text) + "\r\n\r\n";
    if (written.size() > kMaxRawText) {
        return Outcome::Error(Msg(msg::Citavox::EditedTextTooLong, std::to_string(kMaxRawText)));
    }
    if (rawFirst_ < 0) {
        return Outcome::Ok();
    }
    std::vector<int> touched;
    for (int i = rawFirst_; i <= rawLast_ + 1; ++i) {
        touched.push_back(i);
    }
    WriteLock lock;
    if (Outcome r = BeginWrite(touched, lock); !r) {
        return r;
    }
    if (Outcome r = ReplaceFileRegion(fs_, path_, rawOffset_, written, rawLength_, &lock); !r) {
        return WriteFailed(r);
    }
    rawFirst_ = rawLast_ = -1;
    return EndWrite(lock, true);
}

} // namespace cvx
