#include "FormatTestSupport.h"

#include "formats/StyleText.h"
#include "text/Cp1252.h"
#include "text/StringPrimitives.h"

namespace cvx {
namespace {

using namespace cvx::test;

const std::string& DefaultText() {
    static const std::string text = DecompileFormat(DefaultFormatRecord());
    return text;
}

// The default description with one piece replaced.
std::string Edited(std::string_view from, std::string_view to) {
    EXPECT_NE(DefaultText().find(from), std::string::npos) << from;
    const std::size_t at = DefaultText().find(from);
    return std::string(DefaultText()).replace(at, from.size(), to);
}

TEST(StyleText, DefaultsRoundTripExactly) {
    FormatRecord r;
    ASSERT_TRUE(CompileFormat(DefaultText(), r));
    EXPECT_EQ(EncodeFormat(r), EncodeFormat(DefaultFormatRecord()));
    EXPECT_EQ(DecompileFormat(r), DefaultText());
    // The defaults keep kinds after the count that are not in ascending order.
    EXPECT_NE(DefaultText().find("unused              IdString Title Issue Journal"),
              std::string::npos);
}

TEST(StyleText, EditedRecordsRoundTrip) {
    TFormatDesc desc;
    FormatRecord& r = desc.record;
    r.shortForm = 1;
    r.numberingStyle = 13;
    SetText(desc, r.numberPrefix, "Ref. ");
    SetText(desc, r.substAuthors, "\x97\x97\x97");
    FormDef& f = r.Form(FormSlot::ChapterLong);
    f.defined = 1;
    f.authorStyle.maxAuthors = 6;
    f.authorStyle.includAuthors = 3;
    f.authorStyle.nameOrder = 2;
    f.props[9].option = 1;
    f.props[4].removeTrailDot = 1;
    SetText(desc, f.props[13].textBefore, "\"quoted\" \\ \x01 \x81 caf\xE9 #I");
    SetOrder(f, {F::Editors, F::Authors, F::Title});
    const std::string text = DecompileFormat(r);
    EXPECT_NE(text.find("\"\\\"quoted\\\" \\\\ \\x01 \\x81 caf\xC3\xA9 #I\""), std::string::npos)
        << text;
    EXPECT_NE(text.find("field PageLast      before \"-\"  after \". \"  missing \". \"  contract"),
              std::string::npos);
    FormatRecord back;
    ASSERT_TRUE(CompileFormat(text, back));
    EXPECT_EQ(DecompileFormat(back), text);
    // Same texts and settings; the pool may be laid out in another order.
    FormatRecord again;
    ASSERT_TRUE(CompileFormat(DecompileFormat(back), again));
    EXPECT_EQ(EncodeFormat(again), EncodeFormat(back));
    EXPECT_EQ(GetPoolString(back, back.Form(FormSlot::ChapterLong).props[13].textBefore),
              GetPoolString(r, f.props[13].textBefore));
}

TEST(StyleText, TheEvenOptionsAndTheYearLetters) {
    struct Case {
        std::string from, to, why;
        std::string error = {};
    } cases[] = {
        {"year-letters        run\n", "year-letters        list\n",
         "letters listed in citation groups"},
        {"field Title         after \". \"\n", "field Title         after \". \"  headline\n",
         "a title in headline style"},
        {"field PageLast      before \"-\"  after \". \"  missing \". \"\n",
         "field PageLast      before \"-\"  after \". \"  missing \". \"  contract-chicago\n",
         "the last page shortened by the Chicago rules"},
        {"field Year          before \"(\"", "field Year          headline before \"(\"",
         "headline style is for titles", "the element Year has no option \"headline\""},
        {"field Title         after \". \"\n",
         "field Title         after \". \"  contract-chicago\n", "ranges are for the last page",
         "the element Title has no option \"contract-chicago\""},
        {"year-letters        run\n", "year-letters        runs\n",
         "a word the setting does not know", "use one of: run, list"},
    };
    for (const Case& c : cases) {
        std::string text = DefaultText();
        const std::size_t at = text.find(c.from);
        ASSERT_NE(at, std::string::npos) << c.from;
        text.replace(at, c.from.size(), c.to);
        FormatRecord r;
        const Outcome o = CompileFormat(text, r);
        if (!c.error.empty()) {
            EXPECT_NE(o.message().find(c.error), std::string::npos) << c.why << ": " << o.message();
            continue;
        }
        ASSERT_TRUE(o) << c.why << ": " << o.message();
        EXPECT_EQ(DecompileFormat(r), text) << c.why;
    }
}

TEST(StyleText, LooseDescriptionsCompileToTheCanonicalForm) {
    std::string loose = "# a comment\n\ncitavox-format 1\r\n";
    for (const char* form : {"journal short", "journal long", "chapter short", "chapter long",
                             "monograph short", "monograph long"}) {
        loose += std::string("[") + form + "]\norder Authors Year\n";
    }
    loose += "[reference-list]\nnumbering custom\nnumber-prefix \"(\"\n"
             "[citations]\nstyle superscript\n";
    loose += "[journal long]\n";
    FormatRecord r;
    const Outcome twice = CompileFormat(loose, r);
    EXPECT_FALSE(twice);
    loose.resize(loose.size() - std::string("[journal long]\n").size());
    ASSERT_TRUE(CompileFormat(loose, r)) << CompileFormat(loose, r).message();
    EXPECT_EQ(r.citationStyle, 4);
    EXPECT_EQ(r.numberingStyle, 6);
    EXPECT_EQ(r.charSortOrder, 1); // omitted settings keep their defaults
    EXPECT_EQ(GetPoolString(r, r.numberPrefix), "(");
    EXPECT_EQ(r.Form(FormSlot::JournalLong).order[2], 0); // kinds after the count ascending
    EXPECT_EQ(r.Form(FormSlot::JournalLong).order[3], 2);
    const std::string canonical = DecompileFormat(r);
    FormatRecord back;
    ASSERT_TRUE(CompileFormat(canonical, back));
    EXPECT_EQ(back, r);
    EXPECT_EQ(canonical.find("unused"), std::string::npos);
    EXPECT_NE(canonical.find("style               superscript\n"), std::string::npos);
}

TEST(StyleText, ErrorsNameTheLine) {
    struct Case {
        std::string text;
        std::string fragment;
    } cases[] = {
        {"", "Line 1: the description must begin"},
        {Edited("citavox-format 1", "citavox-format 2"), "Line 1: the description must begin"},
        {Edited("[citations]", "[citation]"), "Line 3: unknown section \"[citation]\""},
        {Edited("[citations]\n", "style none\n[citations]\n"), "Line 3: a setting before"},
        {Edited("short-form          defined", "short-form          long"),
         "Line 4: \"long\" is not a value of \"short-form\"; use one of: defined, number, "
         "author-year"},
        {Edited("separator           \"; \"", "separator           ;"),
         "Line 7: \";\" is not a value of \"separator\""},
        {Edited("short-form          defined", "short-form"), "Line 4: a value is missing"},
        {Edited("short-form          defined", "short-form defined number"),
         "Line 4: unexpected \"number\""},
        {Edited("short-form          defined", "shortform defined"),
         "Line 4: unknown setting \"shortform\""},
        {Edited("group-sort          chronological", "short-form number"),
         "Line 5: the setting \"short-form\" appears twice"},
        {Edited("missing \"Anonymous\"", "missing \"Anonymous"), "a quoted text is not closed"},
        {Edited("missing \"Anonymous\"", "missing \"" + std::string(101, 'a') + "\""),
         "longer than the 100 bytes"},
        {Edited("missing \"Anonymous\"", "missing Anonymous"),
         "a quoted text was expected, not \"Anonymous\""},
        {Edited("missing \"Anonymous\"", "missing \"\xE4\xB8\xAD\""),
         "a character that code page 1252 lacks"},
        {Edited("order               Authors Year Title Journal", "order               Authors "
                                                                  "Year Title BookTitle"),
         "the element BookTitle cannot stand in journal forms"},
        {Edited("order               Authors Year\n", "order               Authors Authors\n"),
         "the element Authors appears twice"},
        {Edited("order               Authors Year\n", "order               Author\n"),
         "unknown element \"Author\""},
        {Edited("unused              IdString", "unused IdString IdString IdString IdString "
                                                "IdString IdString IdString IdString IdString "
                                                "IdString IdString IdString IdString IdString "
                                                "IdString IdString IdString"),
         "Line 25: a form holds at most 16 elements"},
        {Edited("max unlimited keep 0", "max 300 keep 0"), "a number from 0 to 255"},
        {Edited("field Year          before \", \"", "field Year          contract before \", \""),
         "the element Year has no option \"contract\""},
        {Edited("    between-names       \", \"", "between-names \", \""),
         "unknown setting \"between-names\""},
        {Edited("short-form          defined", "    et-al \"x\""),
         "Line 4: an indented line belongs under"},
        {Edited("[monograph long]", "[monograph  long]"), "unknown section"},
        {Edited("order               Authors Year Title BookTitle Publisher City PageFirst\n",
                "\n"),
         "the form \"[monograph long]\" has no order"},
    };
    for (const Case& c : cases) {
        FormatRecord r = DefaultFormatRecord();
        r.shortForm = 2;
        const Outcome o = CompileFormat(c.text, r);
        EXPECT_FALSE(o) << c.fragment;
        EXPECT_NE(Cp1252ToUtf8(o.message()).find(c.fragment), std::string::npos)
            << Cp1252ToUtf8(o.message());
        EXPECT_EQ(r.shortForm, 2); // the record is untouched
    }
    std::string noMonograph = DefaultText();
    noMonograph.resize(noMonograph.find("[monograph long]"));
    FormatRecord r;
    EXPECT_EQ(CompileFormat(noMonograph, r).message(),
              "the description lacks the section \"[monograph long]\"");
}

TEST(StyleText, PoolOverflowIsAnError) {
    std::string text = DefaultText();
    const std::string line = "field IdString      before \"" + std::string(100, 'x') + "\"\n";
    for (const char* form : {"[journal long]\n", "[chapter long]\n", "[monograph long]\n"}) {
        const std::size_t at = text.find(form) + std::string(form).size();
        text.insert(at, line);
    }
    FormatRecord r;
    EXPECT_EQ(CompileFormat(text, r).message(),
              "the texts of the format need more than the 600 bytes of the pool");
}

} // namespace
} // namespace cvx
