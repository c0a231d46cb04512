#include "search/IndexWordTable.h"

#include <algorithm>
#include <array>

namespace cvx {

namespace {

constexpr std::size_t kInitialSlots = 1 << 16;

std::uint32_t HashWord(std::string_view word) {
    std::uint32_t h = 2166136261u;
    for (const char c : word) {
        h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    return h ^ (h >> 15);
}

} // namespace

void PutVarint(std::string& out, std::uint32_t v) {
    while (v >= 0x80) {
        out.push_back(static_cast<char>((v & 0x7F) | 0x80));
        v >>= 7;
    }
    out.push_back(static_cast<char>(v));
}

bool GetVarint(std::string_view in, std::size_t& at, std::uint32_t& v) {
    std::uint64_t value = 0;
    for (int shift = 0; shift < 35; shift += 7) {
        if (at >= in.size()) {
            return false;
        }
        const auto b = static_cast<unsigned char>(in[at++]);
        value |= static_cast<std::uint64_t>(b & 0x7F) << shift;
        if ((b & 0x80) == 0) {
            v = static_cast<std::uint32_t>(value);
            return value <= 0xFFFFFFFFu;
        }
    }
    return false;
}

IndexWordTable::IndexWordTable() : slots_(kInitialSlots, 0) {}

void IndexWordTable::Clear() {
    words_.clear();
    entries_.clear();
    lists_.clear();
    std::fill(slots_.begin(), slots_.end(), 0);
    gapBytes_ = 0;
}

std::size_t IndexWordTable::MemoryUse() const {
    return words_.capacity() + entries_.capacity() * sizeof(Entry) +
           lists_.capacity() * sizeof(List) + slots_.size() * sizeof(std::uint32_t) + gapBytes_;
}

void IndexWordTable::Grow() {
    std::vector<std::uint32_t> slots(slots_.size() * 2, 0);
    const std::size_t mask = slots.size() - 1;
    for (std::uint32_t i = 0; i < entries_.size(); ++i) {
        std::size_t s = entries_[i].hash & mask;
        while (slots[s] != 0) {
            s = (s + 1) & mask;
        }
        slots[s] = i + 1;
    }
    slots_ = std::move(slots);
}

std::uint32_t IndexWordTable::FindOrAdd(std::string_view word, std::uint32_t hash) {
    const std::size_t mask = slots_.size() - 1;
    std::size_t s = hash & mask;
    for (; slots_[s] != 0; s = (s + 1) & mask) {
        const Entry& e = entries_[slots_[s] - 1];
        if (e.hash == hash && WordOf(e) == word) {
            return slots_[s] - 1;
        }
    }
    Entry e;
    e.wordAt = static_cast<std::uint32_t>(words_.size());
    e.wordLength = static_cast<std::uint8_t>(word.size());
    e.hash = hash;
    words_.append(word);
    entries_.push_back(e);
    slots_[s] = static_cast<std::uint32_t>(entries_.size());
    if (entries_.size() * 2 > slots_.size()) {
        Grow();
    }
    return static_cast<std::uint32_t>(entries_.size() - 1);
}

void IndexWordTable::Add(int field, std::string_view word, std::uint32_t reference) {
    const std::uint32_t entry = FindOrAdd(word, HashWord(word));
    std::uint32_t previous = 0; // the list before the one looked at (index + 1), 0: the entry
    std::uint32_t l = entries_[entry].firstList;
    while (l != 0 && lists_[l - 1].field != field) {
        previous = l;
        l = lists_[l - 1].next;
    }
    if (l == 0) {
        lists_.push_back(List{});
        List& fresh = lists_.back();
        fresh.field = static_cast<std::uint8_t>(field);
        PutVarint(fresh.gaps, reference + 1);
        fresh.last = reference;
        fresh.count = 1;
        const auto added = static_cast<std::uint32_t>(lists_.size());
        (previous == 0 ? entries_[entry].firstList : lists_[previous - 1].next) = added;
        return;
    }
    List& list = lists_[l - 1];
    if (list.last == reference) {
        return;
    }
    const std::size_t before = list.gaps.capacity();
    PutVarint(list.gaps, reference - list.last);
    gapBytes_ += list.gaps.capacity() - before;
    list.last = reference;
    ++list.count;
}

std::vector<IndexWordTable::Listed> IndexWordTable::Sorted() const {
    std::vector<std::uint32_t> order(entries_.size());
    for (std::uint32_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        return WordOf(entries_[a]) < WordOf(entries_[b]);
    });
    // Field by field, each in word order.
    std::array<std::vector<Listed>, 32> byField;
    for (const std::uint32_t i : order) {
        for (std::uint32_t l = entries_[i].firstList; l != 0; l = lists_[l - 1].next) {
            const List& list = lists_[l - 1];
            byField[list.field].push_back({list.field, WordOf(entries_[i]), &list});
        }
    }
    std::vector<Listed> sorted;
    sorted.reserve(lists_.size());
    for (const std::vector<Listed>& field : byField) {
        sorted.insert(sorted.end(), field.begin(), field.end());
    }
    return sorted;
}

} // namespace cvx
