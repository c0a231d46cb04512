#include "RefFileGenerator.h"

#include "refstore/ReferenceMap.h"
#include "storage/FileSystem.h"
#include "text/StringPrimitives.h"

#include <fstream>
#include <memory>
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

// The blocks of the seed, found by the map's rules but without opening the seed as a reference
// file: that would write its companions into the source tree.
bool SeedBlocks(const std::string& seedPath, std::vector<std::string>& blocks) {
    FileSystem& fs = FileSystem::Default();
    std::string text;
    Outcome r;
    std::unique_ptr<ReadableFile> file = fs.OpenForRead(seedPath, r);
    MapBuildResult map;
    if (!file || !ReadWholeFile(fs, seedPath, text) ||
        !BuildMap(*file, text.size(), nullptr, map) || map.binary || map.tooLarge) {
        return false;
    }
    for (const MapEntry& e : map.entries) {
        blocks.push_back(text.substr(e.offset, e.length));
    }
    return true;
}

} // namespace

bool GenerateReferenceFile(const std::string& seedPath, const std::string& path,
                           std::uint64_t bytes, std::uint32_t seed) {
    std::vector<std::string> seedBlocks;
    if (!SeedBlocks(seedPath, seedBlocks)) {
        return false;
    }
    std::vector<std::string> blocks;
    std::vector<std::string> words;
    for (std::string& block : seedBlocks) {
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
    if (blocks.empty()) {
        return false;
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
