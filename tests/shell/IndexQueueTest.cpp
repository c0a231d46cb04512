// The queue of files waiting for their word index.

#include "shell/IndexQueue.h"

#include <gtest/gtest.h>

namespace cvx {
namespace {

std::vector<std::string> Drain(IndexQueue& queue) {
    std::vector<std::string> taken;
    while (std::optional<std::string> name = queue.TakeNext()) {
        taken.push_back(*name);
    }
    return taken;
}

TEST(IndexQueueTest, HandsOutTheNamesInOrderAndTellsHowFarItCame) {
    IndexQueue queue;
    EXPECT_TRUE(queue.Empty());
    queue.Fill({" /a.ref", "", "/b.ref  ", "/c.ref"}, 0x100A0);
    EXPECT_FALSE(queue.Empty());
    EXPECT_EQ(queue.FieldMask(), 0x100A0u);
    EXPECT_EQ(queue.TakeNext(), "/a.ref");
    EXPECT_EQ(queue.Permille(), 250);
    // The empty name is passed over.
    EXPECT_EQ(queue.TakeNext(), "/b.ref");
    EXPECT_EQ(queue.TakeNext(), "/c.ref");
    EXPECT_TRUE(queue.Empty());
    EXPECT_EQ(queue.Permille(), 1000);
    EXPECT_EQ(queue.TakeNext(), std::nullopt);

    // A new fill replaces what was left; clearing leaves nothing.
    queue.Fill({"/d.ref", "/e.ref"}, 0x20);
    EXPECT_EQ(queue.TakeNext(), "/d.ref");
    queue.Clear();
    EXPECT_TRUE(queue.Empty());
    EXPECT_EQ(queue.TakeNext(), std::nullopt);
}

TEST(IndexQueueTest, TheMultiFileSearchListIndexesOnlyItsMarkedNames) {
    IndexQueue queue;
    queue.Fill({"/a.ref", "*/b.ref", " * /c.ref", "*", "/d.ref"}, 0x20, true);
    EXPECT_EQ(Drain(queue), (std::vector<std::string>{"/b.ref", "/c.ref"}));
    // Without marks asked for, a leading "*" is part of the name.
    queue.Fill({"*x.ref"}, 0x20);
    EXPECT_EQ(Drain(queue), (std::vector<std::string>{"*x.ref"}));
}

} // namespace
} // namespace cvx
