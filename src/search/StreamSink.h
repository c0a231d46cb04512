#pragma once
// A writable file that hands what is appended to a function: for streaming a reference text
// through a hash or a reader of blocks with ReferenceReader::CopyTo.

#include "storage/FileSystem.h"
#include "text/Catalogue.h"

#include <cstdint>
#include <functional>
#include <string_view>

namespace cvx {

class StreamSink final : public WritableFile {
public:
    explicit StreamSink(std::function<Outcome(std::string_view)> take) : take_(std::move(take)) {}

    Outcome Append(std::string_view data) override { return take_(data); }
    Outcome Sync() override { return Outcome::Ok(); }
    // What was handed on is gone: a stream is never cut back.
    Outcome Truncate(std::uint64_t) override {
        return Outcome::Error(Message(msg::Citavox::StreamNotCut));
    }
    Outcome Close() override { return Outcome::Ok(); }

private:
    std::function<Outcome(std::string_view)> take_;
};

} // namespace cvx
