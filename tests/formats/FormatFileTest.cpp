#include "FormatTestSupport.h"

#include "formats/FormatFile.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

#include <filesystem>

namespace cvx {
namespace {

using namespace cvx::test;
namespace fs = std::filesystem;

class FormatFileTest : public ::testing::Test {
protected:
    std::string Path(const std::string& name) const { return dir.File(name); }
    void Write(const std::string& name, const std::string& bytes) const { dir.Write(name, bytes); }
    std::string Read(const std::string& name) const { return ReadBytes(Path(name)); }

    TempDir dir;
};

TEST_F(FormatFileTest, ResetFormatSavedAndLoadedIsByteIdentical) {
    TFormatDesc desc;
    ASSERT_TRUE(SaveFormat(desc, Path("a.for")));
    const std::string first = Read("a.for");
    ASSERT_EQ(first.size(), kFormatFileSize);
    EXPECT_EQ(first.substr(0, 4), "\x3D\x30\x3D\x30");
    TFormatDesc loaded;
    loaded.etAlContraction = true;
    EXPECT_EQ(LoadFormat(loaded, Path("a.for")), kFormatLoaded);
    EXPECT_EQ(loaded.FileName(), Path("a.for"));
    EXPECT_FALSE(loaded.etAlContraction);
    ASSERT_TRUE(SaveFormat(loaded, Path("b.for")));
    EXPECT_EQ(Read("b.for"), first);
    EXPECT_FALSE(fs::exists(Path("b.for.tmp")));
}

TEST_F(FormatFileTest, ShortOrWrongFilesAreNotFormats) {
    const std::string good = EncodeFormat(DefaultFormatRecord());
    std::string wrongMagic = good;
    wrongMagic[3] = 'x';
    Write("short.for", good.substr(0, kFormatFileSize - 1));
    Write("magic.for", wrongMagic);
    Write("longer.for", good + "trailing bytes");
    for (const std::string name : {"short.for", "magic.for"}) {
        TFormatDesc desc;
        desc.record.shortForm = 2;
        EXPECT_EQ(LoadFormat(desc, Path(name)), kNotFormatFile) << name;
        EXPECT_EQ(desc.record, DefaultFormatRecord()) << name;
        EXPECT_EQ(desc.FileName(), "") << name;
        EXPECT_FALSE(IsFormatFile(Path(name))) << name;
    }
    TFormatDesc desc;
    EXPECT_EQ(LoadFormat(desc, Path("longer.for")), kFormatLoaded);
    EXPECT_TRUE(IsFormatFile(Path("longer.for")));
}

TEST_F(FormatFileTest, MissingFileLoadsDefaultsButCanBeToldApart) {
    TFormatDesc desc;
    desc.record.shortForm = 2;
    EXPECT_EQ(LoadFormat(desc, Path("missing.for")), kFormatLoaded);
    EXPECT_EQ(desc.record, DefaultFormatRecord());
    EXPECT_EQ(desc.FileName(), "");
    EXPECT_FALSE(IsFormatFile(Path("missing.for")));
}

TEST_F(FormatFileTest, SaveFailsWhereTheFileCannotBeWritten) {
    const TFormatDesc desc;
    EXPECT_FALSE(SaveFormat(desc, Path("no/such/dir/a.for")));
    const Outcome r = WriteFormatFile(desc.record, Path("no/such/dir/a.for"));
    EXPECT_FALSE(r);
    EXPECT_NE(r.message().find("a.for"), std::string::npos);
}

TEST_F(FormatFileTest, ListsOnlyFormatFiles) {
    const std::string good = EncodeFormat(DefaultFormatRecord());
    Write("a.for", good);
    Write("b.for", good.substr(0, 100));
    Write("c.txt", good);
    Write("d.v2.FOR", good);
    fs::create_directory(dir.Path() / "e.for");
    std::vector<std::string> list = {"stale"};
    ListFormatFiles(dir.Path().string(), list);
    std::sort(list.begin(), list.end());
    EXPECT_EQ(list, (std::vector<std::string>{"a", "d"}));
}

} // namespace
} // namespace cvx
