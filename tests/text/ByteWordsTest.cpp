#include "text/ByteWords.h"

#include <gtest/gtest.h>

#include <array>

namespace cvx {
namespace {

using namespace bytewords;

// The mask that a byte-by-byte test gives.
template <typename Test>
std::uint64_t Expected(const std::array<unsigned char, 8>& bytes, Test test) {
    std::uint64_t mask = 0;
    for (int i = 0; i < 8; ++i) {
        if (test(bytes[static_cast<std::size_t>(i)])) {
            mask |= std::uint64_t{0x80} << (8 * i);
        }
    }
    return mask;
}

// Every byte value at every position, beside neighbours that provoke carries and borrows
// between bytes: each byte's result must not depend on its neighbours.
TEST(ByteWords, MasksAgreeWithByteByByteTests) {
    for (const unsigned char neighbour : {0x00, 0x01, 0x0D, 0x1F, 0x20, 0x21, 0x7F, 0x80, 0xFF}) {
        for (int position = 0; position < 8; ++position) {
            for (int value = 0; value < 256; ++value) {
                std::array<unsigned char, 8> bytes{};
                bytes.fill(neighbour);
                bytes[static_cast<std::size_t>(position)] = static_cast<unsigned char>(value);
                const std::uint64_t word = Load(reinterpret_cast<const char*>(bytes.data()));
                ASSERT_EQ(High(word), Expected(bytes, [](unsigned char b) { return b >= 0x80; }));
                ASSERT_EQ(Zero(word), Expected(bytes, [](unsigned char b) { return b == 0; }));
                ASSERT_EQ(Equal(word, ' '),
                          Expected(bytes, [](unsigned char b) { return b == ' '; }));
                for (const unsigned char limit : {1, 14, 32, 33, 128}) {
                    ASSERT_EQ(Below(word, limit),
                              Expected(bytes, [&](unsigned char b) { return b < limit; }))
                        << "limit " << int{limit} << " value " << value << " at " << position;
                }
            }
        }
    }
}

TEST(ByteWords, FirstIndexIsInTextOrder) {
    const char text[] = "ab  cd e";
    EXPECT_EQ(FirstIndex(Equal(Load(text), ' ')), 2);
    EXPECT_EQ(FirstIndex(Equal(Load(text), 'e')), 7);
}

} // namespace
} // namespace cvx
