#include "RefFileGenerator.h"

#include "refstore/ReferenceFile.h"
#include "text/StringPrimitives.h"

#include <fstream>
#include <random>
#include <vector>

namespace cvx::bench {

namespace {

bool IsWordByte(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (c >= 'a' && c <= 'z') || u >= 0xC0;
}

// One copy of a block: digits replaced by other digits, and some lower-case words of four or
// more letters replaced by words taken from elsewhere in the seed.
std::string Vary(const std::string& block, const std::vector<std::string>& words,
                 std::mt19937& rng) {
    std::string out;
    out.reserve(block.size() + 16);
    std::size_t i = 0;
    // The identification line keeps its shape but gets a unique number.
    while (i < block.size()) {
        const char c = block[i];
        if (IsDigit(c)) {
            out.push_back(static_cast<char>('0' + rng() % 10));
            ++i;
        } else if (IsWordByte(c) && i > 0 && block[i - 1] == ' ') {
            std::size_t end = i;
            while (end < block.size() && IsWordByte(block[end])) {
                ++end;
            }
            if (end - i >= 4 && rng() % 3 == 0 && !words.empty()) {
                out += words[rng() % words.size()];
            } else {
                out.append(block, i, end - i);
            }
            i = end;
        } else {
            out.push_back(c);
            ++i;
        }
    }
    return out;
}

} // namespace

bool GenerateReferenceFile(const std::string& seedPath, const std::string& path,
                           std::uint64_t bytes, std::uint32_t seed) {
    TReferenceFile source;
    if (!source.Open(seedPath) || source.RefCount() == 0) {
        return false;
    }
    std::vector<std::string> blocks;
    std::vector<std::string> words;
    for (int i = 0; i < source.RefCount(); ++i) {
        std::string block;
        if (!source.RawText(i, block)) {
            return false;
        }
        block = TrimRightBlanks(block) + "\r\n\r\n";
        for (std::size_t p = 0; p < block.size();) {
            std::size_t end = p;
            while (end < block.size() && IsWordByte(block[end])) {
                ++end;
            }
            if (end - p >= 4) {
                words.push_back(block.substr(p, end - p));
            }
            p = end + 1;
        }
        if (block.size() >= kMinPresentLength) {
            blocks.push_back(std::move(block));
        }
    }
    std::mt19937 rng(seed);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::uint64_t written = 0;
    std::uint64_t serial = 0;
    while (written < bytes && out) {
        for (const std::string& block : blocks) {
            const std::string copy = " G" + std::to_string(++serial) + Vary(block, words, rng);
            out.write(copy.data(), static_cast<std::streamsize>(copy.size()));
            written += copy.size();
        }
    }
    return static_cast<bool>(out);
}

} // namespace cvx::bench
