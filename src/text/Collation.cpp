#include "text/Collation.h"

#include "text/CaseMapping.h"
#include "text/Catalogue.h"
#include "text/Cp1252.h"
#include "text/StringPrimitives.h"

#include <algorithm>
#include <array>
#include <atomic>

namespace cvx {

namespace {

using RankTable = std::array<unsigned char, 256>;

enum class Comparison { ByteWise, DoubleByte, Ranks, DanishDigraphs, SpanishDigraphs };

struct CollationData {
    RankTable ranks{};
    Comparison comparison = Comparison::ByteWise;
    bool aaDigraph = true; // Danish: "AA" counts as Å
};

// Gives every comma-separated group of the (UTF-8 written) string the next rank.
void AddGroups(RankTable& table, int& rank, std::string_view groups) {
    ++rank;
    for (char c : Utf8ToCp1252(groups)) {
        if (c == ',') {
            ++rank;
        } else {
            table[static_cast<unsigned char>(c)] = static_cast<unsigned char>(rank);
        }
    }
}

RankTable BasicTable(bool spanish) {
    RankTable t{};
    int rank = 0;
    AddGroups(t, rank, "0,1¹¼½,2²,3³¾,4,5,6,7,8,9");
    rank = 64;
    if (spanish) {
        // A lone "Z" only reserves a rank (for CH and LL); the real Z is ranked last.
        AddGroups(t, rank, "@AaÀÁÂÃÄÅÆàáâãäåæª,Bb,CcÇç©¢,Z,DdÐð,EeÈÉÊËèéêë,Ff,Gg,Hh");
        AddGroups(t, rank, "IiÌÍÎÏìíîï,Jj,Kk,Ll£,Z,Mm,Nn,Ññ,OoŒœÒÓÔøØöÖ");
    } else {
        AddGroups(t, rank, "@AaÀÁÂÃÄÅÆàáâãäåæª,Bb,CcÇç©¢,DdÐð,EeÈÉÊËèéêë,Ff,Gg,Hh");
        AddGroups(t, rank, "IiÌÍÎÏìíîï,Jj,Kk,Ll£,Mm,NnÑñ,OoŒœÒÓÔøØöÖ");
    }
    AddGroups(t, rank, "PpþÞ,Qq,Rr®,SsŠšß,Tt™,UuÙÚÛÜùúûüµ,Vv,Ww,Xx,YyÝýŸÿ¥,Zz");
    return t;
}

CollationData Build(Collation c) {
    CollationData d;
    switch (c) {
    case Collation::Swedish:
    case Collation::Finnish: {
        d.ranks = BasicTable(false);
        int rank = 85;
        AddGroups(d.ranks, rank, "VvWw,Xx,YyÝýŸÿ¥,Zz,Åå,ÃÄÆãäæ,ÕÖõöØø");
        d.comparison = Comparison::Ranks;
        break;
    }
    case Collation::DanishAaLast:
    case Collation::Norwegian:
    case Collation::DanishAaFirst: {
        d.ranks = BasicTable(false);
        int rank = 100;
        AddGroups(d.ranks, rank, "ÃÄÆãäæ,ŒœÕÖõöØø,Åå");
        d.comparison = Comparison::DanishDigraphs;
        d.aaDigraph = c != Collation::DanishAaFirst;
        break;
    }
    case Collation::Spanish:
        d.ranks = BasicTable(true);
        d.comparison = Comparison::SpanishDigraphs;
        break;
    case Collation::JapaneseShiftJis:
    case Collation::JapanesePronounced:
        d.ranks = BasicTable(false);
        for (int b = 0x80; b <= 0xFF; ++b) {
            const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
            d.ranks[b] = lead ? 255 : (b >= 0xA1 && b <= 0xDF) ? static_cast<unsigned char>(b) : 0;
        }
        d.comparison = Comparison::DoubleByte;
        break;
    case Collation::English:
    case Collation::German:
        d.ranks = BasicTable(false);
        d.comparison = Comparison::ByteWise;
        break;
    }
    return d;
}

const std::array<CollationData, kCollationCount>& AllCollations() {
    static const std::array<CollationData, kCollationCount> all = [] {
        std::array<CollationData, kCollationCount> a;
        for (int i = 0; i < kCollationCount; ++i) {
            a[i] = Build(static_cast<Collation>(i));
        }
        return a;
    }();
    return all;
}

// At program start the byte-wise comparison is in effect.
std::atomic<int> gSelected{static_cast<int>(Collation::English)};

int Result(int a, int b) {
    return a < b ? kSortsBefore : a > b ? kSortsAfter : kSortsEqual;
}

int CompareByteWise(std::string_view a, std::string_view b) {
    const int c = a.compare(b); // char_traits<char> compares as unsigned char
    return c < 0 ? kSortsBefore : c > 0 ? kSortsAfter : kSortsEqual;
}

int CompareDoubleByte(const RankTable& r, std::string_view a, std::string_view b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const int ra = r[static_cast<unsigned char>(a[i])];
        const int rb = r[static_cast<unsigned char>(b[i])];
        if (ra == 255 && rb == 255 && i + 1 < common) {
            const int ca =
                static_cast<unsigned char>(a[i]) * 256 + static_cast<unsigned char>(a[i + 1]);
            const int cb =
                static_cast<unsigned char>(b[i]) * 256 + static_cast<unsigned char>(b[i + 1]);
            if (ca != cb) {
                return Result(ca, cb);
            }
            ++i;
        } else if (ra != rb) {
            return Result(ra, rb);
        }
    }
    return Result(static_cast<int>(a.size()), static_cast<int>(b.size()));
}

// One step of the rank walk at `i` of `s`: the rank of one byte, or of a digraph that counts as
// one letter; moves `i` past what it took.
int NextRank(const CollationData& d, std::string_view s, std::size_t& i) {
    constexpr int kA = 65, kE = 69, kO = 79, kC = 67, kH = 73, kL = 77;
    const int rank = d.ranks[static_cast<unsigned char>(s[i])];
    const int following = i + 1 < s.size() ? d.ranks[static_cast<unsigned char>(s[i + 1])] : -1;
    ++i;
    if (d.comparison == Comparison::DanishDigraphs) {
        if (rank == kA && following == kA && d.aaDigraph) {
            ++i;
            return 103;
        }
        if (rank == kA && following == kE) {
            ++i;
            return 101;
        }
        if (rank == kO && following == kE) {
            ++i;
            return 102;
        }
    } else if (d.comparison == Comparison::SpanishDigraphs) {
        if (rank == kC && following == kH) {
            ++i;
            return 68;
        }
        if (rank == kL && following == kL) {
            ++i;
            return 78;
        }
    }
    return rank;
}

// The walk of the rank comparisons: each step takes one byte, or a digraph that counts as one.
int CompareWalk(const CollationData& d, std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const int ra = NextRank(d, a, i);
        const int rb = NextRank(d, b, j);
        if (ra != rb) {
            return Result(ra, rb);
        }
    }
    if (i >= a.size()) {
        return j >= b.size() ? kSortsEqual : kSortsBefore;
    }
    return kSortsAfter;
}

} // namespace

Collation CollationFromValue(int value) {
    return value >= 0 && value < kCollationCount ? static_cast<Collation>(value)
                                                 : Collation::English;
}

std::optional<Collation> CollationByName(std::string_view name) {
    if (const std::optional<int> n = ParseInt(name, true)) {
        return *n >= 0 && *n < kCollationCount ? std::optional(static_cast<Collation>(*n))
                                               : std::nullopt;
    }
    const std::string wanted = UpperText(name);
    for (int i = 0; i < kCollationCount; ++i) {
        if (UpperText(Message({MsgList::CharSorting, i})) == wanted) {
            return static_cast<Collation>(i);
        }
    }
    return std::nullopt;
}

std::string CollationNames() {
    std::string names;
    for (int i = 0; i < kCollationCount; ++i) {
        names += (i == 0 ? "" : ", ") + Message({MsgList::CharSorting, i});
    }
    return names;
}

void SelectCollation(Collation collation) {
    gSelected.store(static_cast<int>(CollationFromValue(static_cast<int>(collation))),
                    std::memory_order_relaxed);
}

Collation SelectedCollation() {
    return static_cast<Collation>(gSelected.load(std::memory_order_relaxed));
}

int CompareKeys(std::string_view a, std::string_view b) {
    return CompareKeys(SelectedCollation(), a, b);
}

int CompareKeys(Collation collation, std::string_view a, std::string_view b) {
    const CollationData& d =
        AllCollations()[static_cast<std::size_t>(CollationFromValue(static_cast<int>(collation)))];
    switch (d.comparison) {
    case Comparison::ByteWise:
        return CompareByteWise(a, b);
    case Comparison::DoubleByte:
        return CompareDoubleByte(d.ranks, a, b);
    default:
        return CompareWalk(d, a, b);
    }
}

void AppendCollationKey(Collation collation, std::string_view text, std::string& key) {
    const CollationData& d =
        AllCollations()[static_cast<std::size_t>(CollationFromValue(static_cast<int>(collation)))];
    // A zero is written as 0 1, so that the closing 0 0 sorts before everything a key can go on
    // with and the keys of several texts can be set one after another.
    auto put = [&key](int value) {
        key += static_cast<char>(value);
        if (value == 0) {
            key += '\1';
        }
    };
    std::size_t i = 0;
    while (i < text.size()) {
        const auto byte = static_cast<unsigned char>(text[i]);
        switch (d.comparison) {
        case Comparison::ByteWise:
            put(byte);
            ++i;
            break;
        case Comparison::DoubleByte:
            put(d.ranks[byte]);
            // A lead byte with a byte after it compares as the pair's code.
            if (d.ranks[byte] == 255 && i + 1 < text.size()) {
                put(byte);
                put(static_cast<unsigned char>(text[i + 1]));
                ++i;
            }
            ++i;
            break;
        default:
            put(NextRank(d, text, i));
            break;
        }
    }
    key += '\0';
    key += '\0';
}

void SortKeys(Collation collation, std::vector<std::string>& keys) {
    std::stable_sort(keys.begin(), keys.end(), [&](const std::string& a, const std::string& b) {
        return CompareKeys(collation, a, b) == kSortsBefore;
    });
}

int CollationRank(Collation collation, unsigned char byte) {
    const int value = static_cast<int>(collation);
    if (value < 0 || value >= kCollationCount) {
        return 0;
    }
    return AllCollations()[static_cast<std::size_t>(value)].ranks[byte];
}

} // namespace cvx
