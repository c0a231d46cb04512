#include "refstore/ReferenceTarget.h"

#include "refstore/Companions.h"
#include "storage/FileRewrite.h"
#include "text/Catalogue.h"
#include "text/FileNames.h"

#include <algorithm>

namespace cvx {

Outcome ReferenceTarget::Begin(const std::string& name, bool append, Progress* progress) {
    name_ = name;
    path_ = fs_.ResolveLinks(name);
    append_ = append;
    for (const std::string& n : {name, path_}) {
        if (Outcome r = CheckReferenceFileName(n); !r) {
            return r;
        }
    }
    const FileInfo target = fs_.Stat(path_);
    if (target.exists && !target.isRegular) {
        return Outcome::Error(
            Msg(msg::Citavox::CannotWriteFile, DisplayPath(name)) + "\r" +
            Message(target.isDirectory ? msg::Citavox::IsFolder : msg::Citavox::NotRegularFile));
    }
    // A write-protected reference file is not replaced behind its protection.
    if (target.exists && !target.writable) {
        return Outcome::Error(Msg(msg::FileOpen::FileReadOnly, DisplayPath(name)));
    }
    if (append) {
        return session_.Open(path_, name, progress);
    }
    return target.exists ? lock_.Acquire(fs_, path_, name, progress) : Outcome::Ok();
}

WriteLock* ReferenceTarget::Held() {
    WriteLock& held = append_ ? session_.Lock() : lock_;
    return held.Held() ? &held : nullptr;
}

Outcome ReferenceTarget::Write(const std::function<Outcome(const Sink& sink)>& produce) {
    Outcome r =
        append_
            ? Append(produce)
            : RewriteFile(
                  fs_, path_,
                  [&](WritableFile& out) {
                      return produce([&out](std::string_view bytes) { return out.Append(bytes); });
                  },
                  Held());
    if (r) {
        RemoveCompanions(fs_, path_);
    }
    // An append that did not get through goes back; the hold ends either way.
    session_.Abandon();
    lock_.Release();
    return r;
}

Outcome ReferenceTarget::Append(const std::function<Outcome(const Sink& sink)>& produce) {
    std::string separator;
    Outcome r = EndOfOldText(separator);
    if (r && !separator.empty()) {
        r = session_.Append(separator);
    }
    if (r) {
        r = produce([this](std::string_view bytes) { return session_.Append(bytes); });
    }
    return r ? session_.Commit() : r;
}

// What makes the text the file holds end with an empty line, so that the first block appended
// starts a block of its own.
Outcome ReferenceTarget::EndOfOldText(std::string& separator) {
    separator.clear();
    const std::uint64_t size = session_.OldLength();
    if (size == 0) {
        return Outcome::Ok();
    }
    Outcome r;
    std::unique_ptr<ReadableFile> old = fs_.OpenForRead(path_, r);
    if (!old) {
        return r;
    }
    std::string tail(static_cast<std::size_t>(std::min<std::uint64_t>(size, 4)), '\0');
    std::size_t got = 0;
    if (r = old->ReadAt(size - tail.size(), tail.data(), tail.size(), got); !r) {
        return r;
    }
    tail.resize(got);
    if (!tail.ends_with("\r\n\r\n")) {
        separator = tail.ends_with("\r\n") ? "\r\n" : "\r\n\r\n";
    }
    return Outcome::Ok();
}

} // namespace cvx
