#include "refstore/RefSet.h"

#include <gtest/gtest.h>

namespace cvx {
namespace {

TEST(RefSet, BitsCountsAndBounds) {
    RefSet s(10);
    s.Set(0);
    s.Set(9);
    s.Set(9);
    s.Set(10); // beyond the size: ignored
    s.Set(-1);
    EXPECT_EQ(s.Count(), 2);
    EXPECT_FALSE(s.Test(10));
    s.Toggle(0);
    EXPECT_EQ(s.Count(), 1);
    s.Complement();
    EXPECT_EQ(s.Count(), 9);
    EXPECT_FALSE(s.Test(9));
    EXPECT_EQ(RefSet(10, true).Count(), 10);
    EXPECT_EQ(RefSet(0, true).Count(), 0);
}

TEST(RefSet, CombinationsAndWalking) {
    RefSet a(20);
    RefSet b(20);
    for (int i : {1, 5, 7}) {
        a.Set(i);
    }
    for (int i : {5, 7, 12}) {
        b.Set(i);
    }
    EXPECT_EQ(RefSet::And(a, b).Count(), 2);
    EXPECT_EQ(RefSet::Or(a, b).Count(), 4);
    EXPECT_EQ(RefSet::Xor(a, b).Count(), 2);
    EXPECT_EQ(a.Next(5), 7);
    EXPECT_EQ(a.Next(7), 1); // wraps
    EXPECT_EQ(a.Previous(1), 7);
    EXPECT_EQ(a.First(), 1);
    RefSet single(20);
    single.Set(3);
    EXPECT_EQ(single.Next(3), 3);
    EXPECT_EQ(RefSet(20).First(), -1);
}

TEST(RefSet, TagImages) {
    RefSet s(100);
    s.Set(0);
    s.Set(99);
    const std::string image = s.ToTagImage();
    EXPECT_EQ(image.size(), 100u / 8 + 13);
    EXPECT_EQ(image.substr(0, 4), "\x71\xC3\x5B\x07");
    RefSet back;
    EXPECT_TRUE(back.FromTagImage(image, 100));
    EXPECT_EQ(back, s);
    // An image made for 100 references does not apply to 101.
    EXPECT_FALSE(back.FromTagImage(image, 101));
    EXPECT_EQ(back.Count(), 0);
    EXPECT_EQ(back.Size(), 101);
    // Damaged images: wrong magic, truncated, a lying count, stray bits beyond the size.
    std::string damaged = image;
    damaged[0] = 'X';
    EXPECT_FALSE(back.FromTagImage(damaged, 100));
    EXPECT_FALSE(back.FromTagImage(image.substr(0, 10), 100));
    std::string lying = image;
    lying[8] = '\x7F';
    lying.back() = '\xFF';
    EXPECT_TRUE(back.FromTagImage(lying, 100));
    EXPECT_EQ(back.Count(), 5); // bits 96..99 of the last byte, plus bit 0
}

} // namespace
} // namespace cvx
