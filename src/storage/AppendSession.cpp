#include "storage/AppendSession.h"

#include "text/Catalogue.h"
#include "text/FileNames.h"

namespace cvx {

AppendSession::~AppendSession() {
    Abandon();
}

Outcome AppendSession::Open(const std::string& path, const std::string& shown, Progress* progress,
                            WriteLock held) {
    Abandon();
    path_ = path;
    Outcome r;
    if (held.Held()) {
        lock_ = std::move(held);
    } else {
        if (!fs_.Stat(path).exists) {
            // Made here, empty, so that it can be held; another writer that made it first wins.
            if (std::unique_ptr<WritableFile> made = fs_.OpenForWrite(path, false, r)) {
                created_ = made->Close().ok();
            } else if (!fs_.Stat(path).exists) {
                return r;
            }
        }
        if (r = lock_.Acquire(fs_, path, shown, progress); !r) {
            Abandon();
            return r;
        }
    }
    out_ = fs_.OpenForWrite(path, true, r);
    if (!out_) {
        Abandon();
        return Outcome::Error(
            FailureMessage(r, Msg(msg::Citavox::FileNotCreated, DisplayPath(shown)),
                           Msg(msg::FileOpen::CannotCreateFile, DisplayPath(shown))));
    }
    oldLength_ = fs_.Stat(path).size;
    return Outcome::Ok();
}

Outcome AppendSession::Append(std::string_view bytes) {
    return out_ ? out_->Append(bytes) : NotOpen();
}

Outcome AppendSession::Commit() {
    Outcome r = out_ ? out_->Sync() : NotOpen();
    if (r) {
        r = out_->Close();
        out_.reset();
        if (!r) {
            // Closing failed: the bytes may not be on the disk, so the file goes back.
            Outcome reopened;
            out_ = fs_.OpenForWrite(path_, true, reopened);
        }
    }
    if (!r) {
        Abandon();
        return r;
    }
    created_ = false;
    return Outcome::Ok();
}

Outcome AppendSession::NotOpen() const {
    return Outcome::Error(Msg(msg::Citavox::CannotWriteFile, DisplayPath(path_)));
}

void AppendSession::Abandon() {
    if (out_) {
        (void)out_->Truncate(oldLength_);
        (void)out_->Sync();
        (void)out_->Close();
        out_.reset();
    }
    if (created_ && lock_.Held() && fs_.Stat(path_).size == 0) {
        (void)fs_.Remove(path_);
    }
    created_ = false;
    lock_.Release();
}

} // namespace cvx
