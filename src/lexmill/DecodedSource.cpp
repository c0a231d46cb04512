#include "lexmill/DecodedSource.h"

#include "lexmill/LegacyEncoding.h"
#include "lexmill/LineReader.h"
#include "lexmill/PosixFile.h"
#include "text/SourceDecoding.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace cvx::lexmill {

namespace {

constexpr std::size_t kChunk = 1 << 16;

// The whole file's bytes.
bool ReadWhole(const std::string& path, std::string& bytes) {
    FileDescriptor in(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.Get() < 0) {
        return false;
    }
    bytes.clear();
    std::string chunk(kChunk, '\0');
    while (true) {
        const ReadResult read = ReadFully(in.Get(), chunk.data(), kChunk);
        if (read.failed) {
            return false;
        }
        bytes.append(chunk.data(), read.bytes);
        if (read.bytes < kChunk) {
            return true;
        }
    }
}

// Where the decoded text goes: a string, or the temporary file of a large download.
class DecodedSink {
public:
    explicit DecodedSink(bool inMemory) : inMemory_(inMemory) {}

    // Makes the temporary file when the text does not stay in memory; in memory, room for about
    // `expected` bytes is taken at once (the decoded text is seldom longer than the download),
    // with the line reader's slack, so that the text is neither moved while it grows nor when
    // the reader takes it over.
    bool Open(std::int64_t expected) {
        if (inMemory_) {
            text_.reserve(static_cast<std::size_t>(expected + LineReader::kSlack));
            return true;
        }
        std::error_code ec;
        std::string pattern =
            (std::filesystem::temp_directory_path(ec) / "lexmill-XXXXXX").string();
        if (ec) {
            pattern = "/tmp/lexmill-XXXXXX";
        }
        file_.emplace(::mkstemp(pattern.data()));
        if (file_->Get() < 0) {
            return false;
        }
        ::unlink(pattern.c_str());
        return true;
    }
    bool Add(std::string_view text) {
        if (inMemory_) {
            text_.append(text);
            return true;
        }
        return WriteFully(file_->Get(), text);
    }
    DecodedSource Finish() {
        DecodedSource done;
        done.decoded = true;
        done.text = std::move(text_);
        done.descriptor = file_ ? file_->Release() : -1;
        return done;
    }

private:
    bool inMemory_;
    std::string text_;
    std::optional<FileDescriptor> file_;
};

} // namespace

DecodedSource DecodeSource(const std::string& path, std::int64_t inMemoryLimit) {
    FileDescriptor in(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.Get() < 0) {
        return {};
    }
    std::string chunk(kChunk, '\0');
    ReadResult read = ReadFully(in.Get(), chunk.data(), kChunk);
    if (read.failed || read.bytes == 0) {
        return {};
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
                return {};
            }
            probe.resize(probed.bytes);
        }
        if (ascii) {
            return {};
        }
        if (::lseek(in.Get(), static_cast<off_t>(chunk.size()), SEEK_SET) < 0) {
            return {};
        }
    }
    struct stat st {};
    const bool statted = ::fstat(in.Get(), &st) == 0;
    DecodedSink sink(statted && st.st_size <= inMemoryLimit);
    if (!sink.Open(statted ? st.st_size : 0)) {
        return {};
    }

    // Text in a legacy double-byte code page is converted as a whole (its characters span the
    // chunks' ends, and its code page is told from all of it).
    if (detected.byteOrderMark == 0 && detected.encoding == SourceEncoding::Utf8 &&
        LegacyTextToAnsi(chunk)) {
        std::string whole;
        if (!ReadWhole(path, whole)) {
            return {};
        }
        std::string encoding;
        if (const std::optional<std::string> legacy = LegacyTextToAnsi(whole, &encoding)) {
            if (!sink.Add(*legacy)) {
                return {};
            }
            DecodedSource decoded = sink.Finish();
            decoded.legacy = decoded.decoded;
            decoded.legacyEncoding = std::move(encoding);
            return decoded;
        }
    }

    SourceDecoder decoder(detected.encoding);
    std::string_view first(chunk);
    first.remove_prefix(std::min(detected.byteOrderMark, first.size()));
    bool last = read.bytes < kChunk;
    if (!sink.Add(decoder.Decode(first, last))) {
        return {};
    }
    while (!last) {
        chunk.resize(kChunk);
        read = ReadFully(in.Get(), chunk.data(), kChunk);
        if (read.failed) {
            return {};
        }
        chunk.resize(read.bytes);
        last = read.bytes < kChunk;
        if (!sink.Add(decoder.Decode(chunk, last))) {
            return {};
        }
    }
    return sink.Finish();
}

} // namespace cvx::lexmill
