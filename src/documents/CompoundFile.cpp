#include "documents/CompoundFile.h"

#include "storage/LittleEndian.h"

#include <cstdint>
#include <string>
#include <vector>

namespace cvx {

namespace {

// Sector numbers from this one on are markers (end of chain, free, table sectors), not sectors.
constexpr std::uint32_t kFirstMarker = 0xFFFFFFFA;
constexpr std::size_t kHeaderFatEntries = 109;
constexpr std::size_t kDirectoryEntrySize = 128;
constexpr std::uint16_t kWordIdent = 0xA5EC;     // the first field of a Word file information block
constexpr std::uint16_t kWordEncrypted = 0x0100; // fEncrypted of the flags at offset 0x0A

class CompoundReader {
public:
    explicit CompoundReader(std::string_view bytes) : bytes_(bytes) {}

    bool Open() {
        if (bytes_.size() < 512 || !LooksLikeCompoundFile(bytes_)) {
            return false;
        }
        const std::uint16_t shift = GetLe16(bytes_, 0x1E);
        if (shift != 9 && shift != 12) {
            return false;
        }
        sectorSize_ = std::size_t{1} << shift;
        miniCutoff_ = GetLe32(bytes_, 0x38);
        // The allocation table's sectors: the first 109 in the header, the others in the chain
        // of table-index sectors, whose last entry names the next.
        std::vector<std::uint32_t> fatSectors;
        for (std::size_t i = 0; i < kHeaderFatEntries; ++i) {
            const std::uint32_t s = GetLe32(bytes_, 0x4C + 4 * i);
            if (s < kFirstMarker) {
                fatSectors.push_back(s);
            }
        }
        const std::size_t perSector = sectorSize_ / 4;
        std::uint32_t index = GetLe32(bytes_, 0x44);
        for (std::size_t n = 0; index < kFirstMarker && n < SectorCount(); ++n) {
            const std::string_view sector = Sector(index);
            if (sector.empty()) {
                return false;
            }
            for (std::size_t i = 0; i + 1 < perSector; ++i) {
                if (const std::uint32_t s = GetLe32(sector, 4 * i); s < kFirstMarker) {
                    fatSectors.push_back(s);
                }
            }
            index = GetLe32(sector, sectorSize_ - 4);
        }
        for (const std::uint32_t s : fatSectors) {
            const std::string_view sector = Sector(s);
            if (sector.empty()) {
                return false;
            }
            for (std::size_t i = 0; i < perSector; ++i) {
                fat_.push_back(GetLe32(sector, 4 * i));
            }
        }
        return ReadDirectory(GetLe32(bytes_, 0x30));
    }

    // The first bytes of the stream named `name` (at most one sector's worth); empty when there
    // is no such stream or it lies outside the file.
    std::string_view StreamStart(std::u16string_view name) const {
        for (const Entry& e : entries_) {
            if (e.type != 2 || !SameName(e.name, name)) {
                continue;
            }
            if (e.size >= miniCutoff_) {
                return Sector(e.start).substr(0, e.size);
            }
            // A small stream lies in the mini stream, whose sectors of 64 bytes (by default) are
            // the root entry's chain; only the stream's first mini sector is needed.
            const std::size_t miniSize = std::size_t{1} << GetLe16(bytes_, 0x20);
            const std::size_t at = std::size_t{e.start} * miniSize;
            const std::vector<std::uint32_t> chain = Chain(entries_.front().start);
            if (entries_.front().type != 5 || at / sectorSize_ >= chain.size()) {
                return {};
            }
            const std::string_view sector = Sector(chain[at / sectorSize_]);
            return sector.substr(std::min(sector.size(), at % sectorSize_),
                                 std::min<std::size_t>(miniSize, e.size));
        }
        return {};
    }

    bool HasStream(std::u16string_view name) const {
        for (const Entry& e : entries_) {
            if (e.type == 2 && SameName(e.name, name)) {
                return true;
            }
        }
        return false;
    }

private:
    struct Entry {
        std::u16string name;
        int type = 0; // 1 storage, 2 stream, 5 root
        std::uint32_t start = 0;
        std::uint32_t size = 0;
    };

    std::size_t SectorCount() const { return bytes_.size() / sectorSize_; }

    std::string_view Sector(std::uint32_t s) const {
        const std::size_t offset = (std::size_t{s} + 1) * sectorSize_;
        if (s >= kFirstMarker || offset + sectorSize_ > bytes_.size()) {
            return {};
        }
        return bytes_.substr(offset, sectorSize_);
    }

    // The sectors of a chain in order; a chain that leaves the table or loops ends there.
    std::vector<std::uint32_t> Chain(std::uint32_t start) const {
        std::vector<std::uint32_t> chain;
        for (std::uint32_t s = start; s < kFirstMarker && s < fat_.size(); s = fat_[s]) {
            if (chain.size() > fat_.size()) {
                break; // a loop
            }
            chain.push_back(s);
        }
        return chain;
    }

    bool ReadDirectory(std::uint32_t start) {
        for (const std::uint32_t s : Chain(start)) {
            const std::string_view sector = Sector(s);
            for (std::size_t at = 0; at + kDirectoryEntrySize <= sector.size();
                 at += kDirectoryEntrySize) {
                const std::string_view raw = sector.substr(at, kDirectoryEntrySize);
                Entry e;
                const std::size_t length = std::min<std::size_t>(GetLe16(raw, 0x40), 64);
                // The length counts the name's final null character.
                for (std::size_t i = 0; i + 2 < length && GetLe16(raw, i) != 0; i += 2) {
                    e.name.push_back(static_cast<char16_t>(GetLe16(raw, i)));
                }
                e.type = static_cast<unsigned char>(raw[0x42]);
                e.start = GetLe32(raw, 0x74);
                e.size = GetLe32(raw, 0x78);
                entries_.push_back(std::move(e));
            }
        }
        return !entries_.empty();
    }

    // Directory names compare without regard to the case of ASCII letters.
    static bool SameName(std::u16string_view a, std::u16string_view b) {
        if (a.size() != b.size()) {
            return false;
        }
        const auto lower = [](char16_t c) {
            return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
        };
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (lower(a[i]) != lower(b[i])) {
                return false;
            }
        }
        return true;
    }

    std::string_view bytes_;
    std::size_t sectorSize_ = 512;
    std::uint32_t miniCutoff_ = 4096;
    std::vector<std::uint32_t> fat_;
    std::vector<Entry> entries_;
};

} // namespace

bool LooksLikeCompoundFile(std::string_view bytes) {
    return bytes.starts_with("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
}

CompoundContent InspectCompoundFile(std::string_view bytes) {
    CompoundReader reader(bytes);
    if (!reader.Open()) {
        return CompoundContent::Other;
    }
    if (reader.HasStream(u"EncryptedPackage")) {
        return CompoundContent::EncryptedPackage;
    }
    const std::string_view fib = reader.StreamStart(u"WordDocument");
    if (fib.size() < 12 || GetLe16(fib, 0) != kWordIdent) {
        return CompoundContent::Other;
    }
    return (GetLe16(fib, 0x0A) & kWordEncrypted) != 0 ? CompoundContent::EncryptedWord
                                                      : CompoundContent::WordDocument;
}

} // namespace cvx
