#include "refstore/LineEnds.h"

#include "refstore/Companions.h"
#include "storage/FileRewrite.h"
#include "storage/FileSystem.h"
#include "storage/WriteLock.h"
#include "text/Catalogue.h"
#include "text/FileNames.h"

#include <vector>

namespace cvx {

std::string ToCrLf(std::string_view piece, int& pendingCrs, bool last) {
    std::string out;
    out.reserve(piece.size() + piece.size() / 16);
    for (char c : piece) {
        if (c == '\r') {
            ++pendingCrs;
            continue;
        }
        if (c == '\n') {
            out += "\r\n";
            pendingCrs = 0;
            continue;
        }
        for (; pendingCrs > 0; --pendingCrs) {
            out += "\r\n";
        }
        out += c;
    }
    if (last) {
        for (; pendingCrs > 0; --pendingCrs) {
            out += "\r\n";
        }
    }
    return out;
}

Outcome FixLineEnds(FileSystem& fs, const std::string& name, bool& changed) {
    changed = false;
    const std::string path = fs.ResolveLinks(name);
    for (const std::string& n : {name, path}) {
        if (Outcome r = CheckReferenceFileName(n); !r) {
            return r;
        }
    }
    Outcome r;
    std::unique_ptr<ReadableFile> source = fs.OpenForRead(path, r);
    if (!source) {
        return Outcome::Error(Msg(msg::FileOpen::UnableToOpen, DisplayPath(name)) + "\r" +
                              r.message());
    }
    WriteLock lock;
    if (r = lock.Acquire(fs, path, name, nullptr); !r) {
        return r;
    }
    if (!lock.StillNames(fs, path) || !fs.Stat(path).SameFileAs(source->Info())) {
        return Outcome::Error(Msg(msg::Citavox::FileChangedOutside, DisplayPath(name)));
    }
    const std::uint64_t size = source->Info().size;
    constexpr std::size_t kChunk = 1 << 20;
    std::vector<char> buffer(kChunk);

    // First pass: is there a line end that is not CR LF?
    char previous = '\0';
    for (std::uint64_t offset = 0; offset < size && !changed; offset += kChunk) {
        std::size_t got = 0;
        if (r = source->ReadAt(offset, buffer.data(), kChunk, got); !r) {
            return Outcome::Error(Msg(msg::FileOpen::FailedToRead, DisplayPath(name)) + "\r" +
                                  r.message());
        }
        for (std::size_t i = 0; i < got && !changed; ++i) {
            const char c = buffer[i];
            changed = (c == '\n' && previous != '\r') || (previous == '\r' && c != '\n');
            previous = c;
        }
    }
    changed = changed || previous == '\r';
    if (!changed) {
        return Outcome::Ok();
    }
    r = RewriteFile(
        fs, path,
        [&](WritableFile& out) {
            int crs = 0;
            for (std::uint64_t offset = 0; offset < size; offset += kChunk) {
                std::size_t got = 0;
                if (Outcome read = source->ReadAt(offset, buffer.data(), kChunk, got); !read) {
                    return read;
                }
                const bool last = offset + got >= size;
                if (Outcome w = out.Append(ToCrLf(std::string_view(buffer.data(), got), crs, last));
                    !w) {
                    return w;
                }
            }
            return Outcome::Ok();
        },
        &lock);
    if (!r) {
        changed = false;
        return Outcome::Error(ReferenceFileNotCreated(r));
    }
    return Outcome::Ok();
}

} // namespace cvx
