#include "journals/BlockCodec.h"

#include <algorithm>
#include <array>
#include <vector>

namespace cvx {

namespace {

constexpr std::size_t kMaxLiteralRun = 32;
constexpr std::size_t kMinMatch = 2;
constexpr std::size_t kMaxMatch = 29;
constexpr std::size_t kWindow = 2047;
constexpr std::size_t kHashSize = 4096;
// Longer chains find barely better matches in text like journal names but cost build time.
constexpr int kMaxChainSteps = 256;
// A two-byte match saves nothing over a literal unless it also spares the start of a new run.
constexpr std::size_t kMaxPendingForShortMatch = 30;

std::size_t Hash(std::string_view in, std::size_t at) {
    return (static_cast<unsigned char>(in[at]) + static_cast<unsigned char>(in[at + 1]) * 64) &
           (kHashSize - 1);
}

class Compressor {
public:
    explicit Compressor(std::string_view in) : in_(in), previous_(in.size(), kNone) {
        head_.fill(kNone);
    }

    std::string Run() {
        std::size_t i = 0;
        while (i < in_.size()) {
            std::size_t length = 0;
            std::size_t distance = 0;
            FindMatch(i, length, distance);
            const bool usable =
                length > kMinMatch || (length == kMinMatch && pending_ <= kMaxPendingForShortMatch);
            if (!usable) {
                Insert(i);
                AddLiteral(i);
                ++i;
                continue;
            }
            FlushLiterals();
            out_.push_back(static_cast<char>(((length + 2) << 3) | (distance >> 8)));
            out_.push_back(static_cast<char>(distance & 0xFF));
            for (std::size_t k = 0; k < length; ++k) {
                Insert(i + k);
            }
            i += length;
        }
        FlushLiterals();
        return std::move(out_);
    }

private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    void FindMatch(std::size_t at, std::size_t& bestLength, std::size_t& bestDistance) const {
        if (at + kMinMatch > in_.size()) {
            return;
        }
        const std::size_t most = std::min(kMaxMatch, in_.size() - at);
        int steps = 0;
        for (std::size_t c = head_[Hash(in_, at)]; c != kNone && at - c <= kWindow;
             c = previous_[c]) {
            if (++steps > kMaxChainSteps) {
                break;
            }
            std::size_t n = 0;
            while (n < most && in_[c + n] == in_[at + n]) {
                ++n;
            }
            if (n > bestLength) {
                bestLength = n;
                bestDistance = at - c;
                if (n == most) {
                    break;
                }
            }
        }
        if (bestLength < kMinMatch) {
            bestLength = 0;
        }
    }

    void Insert(std::size_t at) {
        if (at + 1 < in_.size()) {
            const std::size_t h = Hash(in_, at);
            previous_[at] = head_[h];
            head_[h] = at;
        }
    }

    void AddLiteral(std::size_t at) {
        if (pending_ == 0) {
            runStart_ = at;
        }
        if (++pending_ == kMaxLiteralRun) {
            FlushLiterals();
        }
    }

    void FlushLiterals() {
        if (pending_ == 0) {
            return;
        }
        out_.push_back(static_cast<char>(pending_ - 1));
        out_.append(in_.substr(runStart_, pending_));
        pending_ = 0;
    }

    std::string_view in_;
    std::array<std::size_t, kHashSize> head_;
    std::vector<std::size_t> previous_;
    std::string out_;
    std::size_t pending_ = 0;
    std::size_t runStart_ = 0;
};

} // namespace

std::string CompressBlock(std::string_view expanded) {
    return Compressor(expanded).Run();
}

JournalError ExpandBlock(std::string_view compressed, std::string& out, std::size_t limit) {
    out.clear();
    out.reserve(std::min(limit, compressed.size() * 8));
    std::size_t i = 0;
    while (i < compressed.size()) {
        const unsigned t = static_cast<unsigned char>(compressed[i++]);
        if (t < 32) {
            const std::size_t run = t + 1;
            if (run > compressed.size() - i || run > limit - out.size()) {
                return JournalError::Malformed;
            }
            out.append(compressed.substr(i, run));
            i += run;
            continue;
        }
        if (i >= compressed.size()) {
            return JournalError::Malformed;
        }
        const std::size_t length = (t >> 3) - 2;
        const std::size_t distance = ((t & 7) << 8) + static_cast<unsigned char>(compressed[i++]);
        if (distance == 0 || distance > out.size() || length > limit - out.size()) {
            return JournalError::Malformed;
        }
        // Byte by byte: a copy may overlap the bytes it produces.
        for (std::size_t k = 0; k < length; ++k) {
            out.push_back(out[out.size() - distance]);
        }
    }
    return JournalError::None;
}

} // namespace cvx
