#include "lexmill/DecodedSource.h"

#include "lexmill/PosixFile.h"
#include "text/SourceDecoding.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace cvx::lexmill {

namespace {

constexpr std::size_t kChunk = 1 << 16;

} // namespace

int OpenDecodedSource(const std::string& path) {
    FileDescriptor in(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.Get() < 0) {
        return -1;
    }
    std::string chunk(kChunk, '\0');
    ReadResult read = ReadFully(in.Get(), chunk.data(), kChunk);
    if (read.failed || read.bytes == 0) {
        return -1;
    }
    chunk.resize(read.bytes);
    const DetectedEncoding detected = DetectEncoding(chunk);
    if (detected.byteOrderMark == 0 && detected.encoding == SourceEncoding::Utf8) {
        // Plain ASCII needs no copy; look for the first byte above 127.
        bool ascii = true;
        std::string probe = chunk;
        while (ascii) {
            ascii = std::none_of(probe.begin(), probe.end(),
                                 [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
            if (!ascii || probe.size() < kChunk) {
                break;
            }
            probe.resize(kChunk);
            const ReadResult probed = ReadFully(in.Get(), probe.data(), kChunk);
            if (probed.failed) {
                return -1;
            }
            probe.resize(probed.bytes);
        }
        if (ascii) {
            return -1;
        }
        if (::lseek(in.Get(), static_cast<off_t>(chunk.size()), SEEK_SET) < 0) {
            return -1;
        }
    }

    std::error_code ec;
    std::string pattern = (std::filesystem::temp_directory_path(ec) / "lexmill-XXXXXX").string();
    if (ec) {
        pattern = "/tmp/lexmill-XXXXXX";
    }
    FileDescriptor out(::mkstemp(pattern.data()));
    if (out.Get() < 0) {
        return -1;
    }
    ::unlink(pattern.c_str());

    SourceDecoder decoder(detected.encoding);
    std::string_view first(chunk);
    first.remove_prefix(std::min(detected.byteOrderMark, first.size()));
    bool last = read.bytes < kChunk;
    if (!WriteFully(out.Get(), decoder.Decode(first, last))) {
        return -1;
    }
    while (!last) {
        chunk.resize(kChunk);
        read = ReadFully(in.Get(), chunk.data(), kChunk);
        if (read.failed) {
            return -1;
        }
        chunk.resize(read.bytes);
        last = read.bytes < kChunk;
        if (!WriteFully(out.Get(), decoder.Decode(chunk, last))) {
            return -1;
        }
    }
    return out.Release();
}

} // namespace cvx::lexmill
