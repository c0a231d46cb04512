#include "refstore/SortOrders.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace cvx {
namespace {

// Records whose keys often agree on the first levels, so that every level and the last tie
// breakers (longer block first, then file order) decide somewhere.
std::vector<TSortRec> Records() {
    const std::vector<std::string> authors = {"",
                                              "SMITH J",
                                              "SMITH JA",
                                              "SMITH  J",
                                              "\xC5"
                                              "BERG",
                                              "AABERG",
                                              "\xC6"
                                              "BLE",
                                              "AEBLE",
                                              "CHICO",
                                              "CUNA",
                                              "LLAVE",
                                              "\x82\xA0"};
    const std::vector<std::string> journals = {"", "NATURE", "NAT GENET", "J BIOL CHEM"};
    const std::vector<std::int32_t> numbers = {0, 1, 12, 1999, 2001, -3};
    std::mt19937 random(7);
    auto pick = [&random](const auto& values) { return values[random() % values.size()]; };
    std::vector<TSortRec> records;
    for (int i = 0; i < 160; ++i) {
        TSortRec r;
        r.index = i;
        r.length = 100 + static_cast<std::int32_t>(random() % 3);
        r.year = pick(numbers);
        r.volume = pick(numbers);
        r.pageFirst = random() % 2 == 0 ? 1 : pick(numbers);
        r.authorKey = pick(authors);
        r.journalKey = pick(journals);
        r.idString = pick(authors);
        records.push_back(r);
    }
    return records;
}

// The prepared key of every order sorts exactly as the comparison of the records does, in the
// collations with their own rules (byte-wise, ranks, digraphs, double bytes).
TEST(SortOrders, PreparedKeysSortAsTheRecordsCompare) {
    const std::vector<TSortRec> records = Records();
    for (Collation collation : {Collation::English, Collation::Swedish, Collation::DanishAaLast,
                                Collation::Spanish, Collation::JapaneseShiftJis}) {
        for (int o = 0; o <= static_cast<int>(DisplayOrder::Original); ++o) {
            const auto order = static_cast<DisplayOrder>(o);
            std::vector<std::string> keys;
            for (const TSortRec& r : records) {
                AppendOrderKey(order, r, collation, keys.emplace_back());
            }
            for (std::size_t a = 0; a < records.size(); ++a) {
                for (std::size_t b = 0; b < records.size(); ++b) {
                    ASSERT_EQ(keys[a] < keys[b],
                              SortsBefore(order, records[a], records[b], collation))
                        << static_cast<int>(collation) << " order " << o << ": " << a << ", " << b;
                }
            }
        }
    }
}

} // namespace
} // namespace cvx
