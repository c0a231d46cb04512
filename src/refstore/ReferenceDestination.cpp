#include "refstore/ReferenceDestination.h"

#include "refstore/Companions.h"
#include "storage/FileRewrite.h"
#include "text/Catalogue.h"
#include "text/FileNames.h"

namespace cvx {

ReferenceDestination::~ReferenceDestination() {
    if (begun_) {
        (void)Finish(false);
    }
}

Outcome ReferenceDestination::Begin(const std::string& destination, const std::string& source,
                                    DestinationMode mode, Progress* progress) {
    shown_ = destination;
    path_ = fs_.ResolveLinks(destination);
    for (const std::string& name : {destination, path_}) {
        if (Outcome r = CheckReferenceFileName(name); !r) {
            return r;
        }
    }
    const FileInfo target = fs_.Stat(path_);
    if (target.SameFileAs(fs_.Stat(source))) {
        return Outcome::Error(Msg(msg::Citavox::ImportOntoSource, DisplayPath(destination)));
    }
    if (target.exists && !target.isRegular) {
        return Outcome::Error(
            Msg(msg::Citavox::CannotWriteFile, DisplayPath(destination)) + "\r" +
            Message(target.isDirectory ? msg::Citavox::IsFolder : msg::Citavox::NotRegularFile));
    }
    if (target.exists && mode == DestinationMode::New) {
        return Outcome::Error(Msg(msg::Citavox::DestinationExists, DisplayPath(destination)));
    }
    if (target.exists && mode == DestinationMode::Replace) {
        // A write-protected reference file is not replaced behind its protection.
        if (!target.writable) {
            return Outcome::Error(Msg(msg::FileOpen::FileReadOnly, DisplayPath(destination)));
        }
        if (Outcome r = lock_.Acquire(fs_, path_, destination, progress); !r) {
            return r;
        }
        Outcome r;
        std::unique_ptr<WritableFile> made =
            fs_.CreateTemporary(path_, kTemporaryExt, target.permissions, writePath_, r);
        if (!made || !(r = made->Close())) {
            (void)fs_.Remove(writePath_);
            lock_.Release();
            return Outcome::Error(ReferenceFileNotCreated(r));
        }
        RemoveLeftTemporaries(fs_, path_, writePath_);
        replacing_ = true;
        appending_ = false;
        begun_ = true;
        return Outcome::Ok();
    }
    if (Outcome r = session_.Open(path_, destination, progress); !r) {
        return r.aborted() ? r
                           : Outcome::Error(Msg(msg::VorodudTexts::DestinationUnwritable,
                                                DisplayPath(destination)) +
                                            "\r" + r.message());
    }
    if (mode != DestinationMode::Append && !session_.Created()) {
        session_.Abandon(); // made by someone else in the meantime
        return Outcome::Error(Msg(msg::Citavox::DestinationExists, DisplayPath(destination)));
    }
    writePath_ = path_;
    replacing_ = false;
    appending_ = !session_.Created();
    begun_ = true;
    return Outcome::Ok();
}

Outcome ReferenceDestination::Finish(bool keep) {
    begun_ = false;
    Outcome r;
    if (replacing_) {
        if (keep) {
            // The writer closed the temporary; it goes to the disk before it takes the name.
            std::unique_ptr<WritableFile> written = fs_.OpenForWrite(writePath_, true, r);
            if (written) {
                r = written->Sync();
                if (Outcome closed = written->Close(); r && !closed) {
                    r = closed;
                }
            }
            if (r) {
                r = CommitTemporary(fs_, path_, writePath_, &lock_);
            }
        }
        if (!keep || !r) {
            (void)fs_.Remove(writePath_);
        }
    } else if (keep) {
        r = session_.Commit();
    } else {
        session_.Abandon();
    }
    if (keep && r) {
        RemoveCompanions(fs_, path_);
    }
    session_.Abandon();
    lock_.Release();
    replacing_ = false;
    if (!r) {
        return Outcome::Error(Msg(msg::Citavox::CannotWriteFile, DisplayPath(shown_)) + "\r" +
                              r.message());
    }
    return Outcome::Ok();
}

} // namespace cvx
