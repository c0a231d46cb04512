#include "storage/ChunkReader.h"

#include "text/Catalogue.h"

#include <algorithm>

namespace cvx {

namespace {

// Below this many chunks a second thread costs more than it saves.
constexpr std::uint64_t kChunksForThread = 4;

} // namespace

ChunkReader::ChunkReader(ReadableFile& file, std::uint64_t size, std::size_t chunk)
    : file_(file), size_(size), chunk_(chunk), chunks_((size + chunk - 1) / chunk) {
    const int slots = chunks_ >= kChunksForThread ? kSlots : 1;
    for (int i = 0; i < slots; ++i) {
        slots_[i].bytes.resize(chunk);
    }
    if (slots > 1) {
        thread_ = std::thread([this] { ReadAhead(); });
    }
}

ChunkReader::~ChunkReader() {
    if (thread_.joinable()) {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }
}

Outcome ChunkReader::Read(std::uint64_t offset, Slot& slot) {
    const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(chunk_, size_ - offset));
    slot.length = 0;
    Outcome r = file_.ReadAt(offset, slot.bytes.data(), want, slot.length);
    if (r && slot.length < want) {
        r = Outcome::Error(Message(msg::Citavox::FileShrank));
    }
    return r;
}

void ChunkReader::ReadAhead() {
    for (std::uint64_t k = 0; k < chunks_; ++k) {
        Slot& slot = slots_[k % kSlots];
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] { return stop_ || !slot.filled; });
            if (stop_) {
                return;
            }
        }
        Outcome r = Read(k * chunk_, slot);
        {
            std::lock_guard lock(mutex_);
            slot.result = std::move(r);
            slot.filled = true;
        }
        changed_.notify_all();
        if (!slot.result) {
            return;
        }
    }
}

Outcome ChunkReader::Next(std::uint64_t& offset, std::string_view& bytes) {
    bytes = {};
    offset = next_ * chunk_;
    if (next_ >= chunks_) {
        return Outcome::Ok();
    }
    if (!thread_.joinable()) {
        Slot& slot = slots_[0];
        if (Outcome r = Read(offset, slot); !r) {
            return r;
        }
        ++next_;
        bytes = std::string_view(slot.bytes.data(), slot.length);
        return Outcome::Ok();
    }
    std::unique_lock lock(mutex_);
    if (next_ > 0) {
        slots_[(next_ - 1) % kSlots].filled = false; // the caller is done with the chunk before
        changed_.notify_all();
    }
    Slot& slot = slots_[next_ % kSlots];
    changed_.wait(lock, [&] { return slot.filled; });
    if (!slot.result) {
        return slot.result;
    }
    ++next_;
    bytes = std::string_view(slot.bytes.data(), slot.length);
    return Outcome::Ok();
}

} // namespace cvx
