#include "FormatTestSupport.h"

#include "storage/LittleEndian.h"
#include "text/Catalogue.h"

#include <vector>

namespace cvx {
namespace {

using namespace cvx::test;

std::vector<std::string> AllTexts(FormatRecord& record) {
    std::vector<std::string> texts;
    ForEachStrRef(record, [&](StrRef& ref) { texts.emplace_back(GetPoolString(record, ref)); });
    return texts;
}

void PutLe16Into(std::string& bytes, std::size_t at, std::uint16_t v) {
    bytes[at] = static_cast<char>(v & 0xFF);
    bytes[at + 1] = static_cast<char>(v >> 8);
}

std::vector<int> Order(const FormDef& f) {
    return {f.order.begin(), f.order.begin() + f.count};
}

TEST(Defaults, HeaderPoolAndForms) {
    const TFormatDesc desc;
    const FormatRecord& r = desc.record;
    EXPECT_EQ(r.poolLength, 306);
    EXPECT_EQ(static_cast<unsigned char>(r.pool[600]), 0xFF);
    EXPECT_EQ(r.shortForm, 0);
    EXPECT_EQ(r.groupSort, 1);
    EXPECT_EQ(r.charSortOrder, 1);
    EXPECT_EQ(r.paragraphStyle, 2);
    EXPECT_EQ(r.allowEtAl, 1);
    EXPECT_EQ(r.skipRepeats, 0);
    EXPECT_FALSE(IssueListed(desc));

    const std::vector<int> shortOrder = {1, 5};
    EXPECT_EQ(Order(r.Form(FormSlot::JournalShort)), shortOrder);
    EXPECT_EQ(Order(r.Form(FormSlot::JournalLong)), (std::vector<int>{1, 5, 2, 3, 6, 8, 9}));
    EXPECT_EQ(Order(r.Form(FormSlot::ChapterLong)),
              (std::vector<int>{1, 5, 2, 4, 10, 11, 12, 8, 9}));
    EXPECT_EQ(Order(r.Form(FormSlot::MonographLong)), (std::vector<int>{1, 5, 2, 4, 11, 12, 8}));
    // The bytes after the count hold the remaining kinds.
    EXPECT_EQ(r.Form(FormSlot::MonographLong).order[7], 9);
    EXPECT_EQ(r.Form(FormSlot::ChapterShort).order[15], 15);

    for (int slot = 0; slot < kFormCount; ++slot) {
        const FormDef& f = r.forms[slot];
        const bool longForm = slot % 2 == 1;
        const bool chapter = slot / 2 == 1;
        EXPECT_EQ(f.authorStyle.personalNames, longForm ? 0 : 1) << slot;
        EXPECT_EQ(GetPoolString(r, f.authorStyle.beforeLast), " and ");
        EXPECT_EQ(GetPoolString(r, f.authorStyle.substSuperNames), longForm ? " et al." : "");
        // Only the chapter forms have an editor style: the same as their author style.
        EXPECT_EQ(f.editorStyle.personalNames, chapter ? f.authorStyle.personalNames : 0);
        EXPECT_EQ(GetPoolString(r, f.editorStyle.beforeLast), chapter ? " and " : "") << slot;
        EXPECT_EQ(GetPoolString(r, f.editorStyle.substSuperNames),
                  GetPoolString(r, chapter ? f.authorStyle.substSuperNames : StrRef{}));
        EXPECT_EQ(GetPoolString(r, f.props[5].whenMissing), longForm ? " (?) " : ", ????");
        for (int k = 0; k < kElementKinds; ++k) {
            EXPECT_EQ(f.props[k].kind, k);
        }
    }
    const FormDef& chapterLong = r.Form(FormSlot::ChapterLong);
    EXPECT_EQ(GetPoolString(r, chapterLong.props[4].textBefore), "In ");
    EXPECT_EQ(GetPoolString(r, chapterLong.props[10].textBefore), "Edited by ");
    EXPECT_EQ(GetPoolString(r, r.Form(FormSlot::JournalLong).props[3].textAfter), "#I ");
}

TEST(RecordLayout, EveryFieldAtItsOffset) {
    FormatRecord r = DefaultFormatRecord();
    r.numberingStyle = 9;
    r.skipRepeats = 1;
    r.substAuthors = {0x0102, 7};
    FormDef& journalLong = r.Form(FormSlot::JournalLong);
    journalLong.count = 11;
    journalLong.journalForm = 4;
    journalLong.props[7].option = 1;
    journalLong.authorStyle.maxAuthors = 6;
    FormDef& monographLong = r.Form(FormSlot::MonographLong);
    monographLong.editorStyle.beforeLast = {0x0304, 9};
    const std::string bytes = EncodeFormat(r);
    ASSERT_EQ(bytes.size(), kFormatFileSize);
    EXPECT_EQ(bytes.substr(0, 4), "=0=0");
    auto byte = [&bytes](std::size_t at) { return static_cast<unsigned char>(bytes[at]); };
    EXPECT_EQ(byte(12), 9);
    EXPECT_EQ(byte(20), 1);
    EXPECT_EQ(GetLe16(bytes, 21), 0x0102);
    EXPECT_EQ(byte(23), 7);
    EXPECT_EQ(GetLe16(bytes, 26), 306);
    EXPECT_EQ(byte(628), 0xFF);
    const std::size_t form = 629 + 291;
    EXPECT_EQ(byte(form + 1), 1); // Authors first
    EXPECT_EQ(byte(form + 17 + 13 * 7), 1);
    EXPECT_EQ(byte(form + 17 + 13 * 7 + 3), 7);
    EXPECT_EQ(byte(form + 238), 11);
    EXPECT_EQ(byte(form + 239), 4);
    EXPECT_EQ(byte(form + 241 + 2), 6);
    const std::size_t lastStyle = 629 + 5 * 291 + 266;
    EXPECT_EQ(GetLe16(bytes, lastStyle + 22), 0x0304);
    EXPECT_EQ(byte(lastStyle + 24), 9);
    EXPECT_EQ(byte(kFormatFileSize - 1), 9);
}

TEST(RecordLayout, SoundRecordsSurviveEncoding) {
    TFormatDesc desc;
    SetText(desc, desc.record.numberPrefix, "Ref. ");
    desc.record.Form(FormSlot::ChapterLong).defined = 1;
    const std::string bytes = EncodeFormat(desc.record);
    EXPECT_EQ(DecodeFormat(bytes), desc.record);
    EXPECT_EQ(EncodeFormat(DecodeFormat(bytes)), bytes);
}

TEST(Pool, ReplacingMovesTheTextToTheEnd) {
    TFormatDesc desc;
    FormatRecord& r = desc.record;
    std::vector<std::string> texts = AllTexts(r);
    // The first text of the pool: the author separator of the short journal form.
    StrRef& first = r.Form(FormSlot::JournalShort).authorStyle.betw1stAnd2nd;
    ASSERT_EQ(first.offset, 0);
    SetText(desc, first, "; and also ");
    EXPECT_EQ(first.offset, 306 - 2);
    EXPECT_EQ(r.poolLength, 306 - 2 + 11);
    std::vector<std::string> after = AllTexts(r);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (i != 3 + 5) { // the replaced reference
            EXPECT_EQ(after[i], texts[i]) << i;
        }
    }
    SetText(desc, r.numberPrefix, "No. ");
    EXPECT_EQ(GetPoolString(r, r.numberPrefix), "No. ");
    EXPECT_EQ(GetPoolString(r, first), "; and also ");
}

TEST(Pool, EmptyTextFreesItsBytes) {
    TFormatDesc desc;
    StrRef& ref = desc.record.Form(FormSlot::JournalLong).props[3].textBefore; // "#I"
    const std::vector<std::string> texts = AllTexts(desc.record);
    SetText(desc, ref, "");
    EXPECT_EQ(ref, StrRef{});
    EXPECT_EQ(desc.record.poolLength, 304);
    const std::vector<std::string> after = AllTexts(desc.record);
    int changed = 0;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        changed += after[i] != texts[i];
    }
    EXPECT_EQ(changed, 1);
}

TEST(Pool, FullPoolRefusesTheTextThatDoesNotFit) {
    TFormatDesc desc;
    FormatRecord& r = desc.record;
    SetText(desc, r.numberPrefix, std::string(100, 'a'));
    SetText(desc, r.numberSuffix, std::string(100, 'b'));
    SetText(desc, r.substAuthors, std::string(89, 'c'));
    ASSERT_EQ(r.poolLength, 595);
    StrRef& ref = r.Form(FormSlot::JournalLong).props[0].textBefore;
    const Outcome tooMuch = SetPoolString(r, ref, "123456");
    EXPECT_FALSE(tooMuch);
    EXPECT_EQ(tooMuch.message(), Msg(msg::CreateFormats::OutOfFormatSpace));
    EXPECT_EQ(ref, StrRef{});
    EXPECT_EQ(r.poolLength, 595);
    EXPECT_TRUE(SetPoolString(r, ref, "12345"));
    EXPECT_EQ(r.poolLength, 600);
    EXPECT_EQ(static_cast<unsigned char>(r.pool[600]), 0xFF);
    // Texts above 100 bytes would read as empty, so they are refused too.
    SetText(desc, r.numberPrefix, "");
    EXPECT_FALSE(SetPoolString(r, r.numberPrefix, std::string(101, 'a')));
}

TEST(Pool, LengthAbove100ReadsEmpty) {
    FormatRecord r = DefaultFormatRecord();
    EXPECT_EQ(GetPoolString(r, StrRef{0, 101}), "");
    EXPECT_EQ(GetPoolString(r, StrRef{0, 100}).size(), 100u);
    EXPECT_EQ(GetPoolString(r, StrRef{-1, 2}), "");
    EXPECT_EQ(GetPoolString(r, StrRef{300, 10}), ""); // beyond the texts in use
}

// What DecodeFormat makes of damaged values: the defaults, or nothing.
TEST(UntrustedRecords, OutOfRangeValuesReadAsDefaults) {
    std::string bytes = EncodeFormat(DefaultFormatRecord());
    auto set = [&bytes](std::size_t at, unsigned char v) { bytes[at] = static_cast<char>(v); };
    const std::size_t journalLong = 629 + 291;
    set(10, 12);                            // CharSortOrder
    set(12, 14);                            // NumberingStyle
    set(19, 7);                             // AllowEtAl
    set(journalLong + 0, 3);                // Defined
    set(journalLong + 17 + 2 * 13, 5);      // Option of Title
    set(journalLong + 17 + 2 * 13 + 3, 99); // Kind of Title
    set(journalLong + 239, 9);              // JournalForm
    set(629 + 241, 7);                      // PersonalNames of the short journal form
    set(journalLong + 242, 4);              // NameOrder
    const FormatRecord r = DecodeFormat(bytes);
    const FormatRecord& d = DefaultFormatRecord();
    EXPECT_EQ(r.charSortOrder, 1);
    EXPECT_EQ(r.numberingStyle, 0);
    EXPECT_EQ(r.allowEtAl, 1);
    const FormDef& f = r.Form(FormSlot::JournalLong);
    EXPECT_EQ(f.defined, 0);
    EXPECT_EQ(f.props[2].option, 0);
    EXPECT_EQ(f.props[2].kind, 2);
    EXPECT_EQ(f.journalForm, 0);
    EXPECT_EQ(f.authorStyle.nameOrder, 0);
    EXPECT_EQ(r.Form(FormSlot::JournalShort).authorStyle.personalNames, 1);
    EXPECT_EQ(r, d);
}

TEST(UntrustedRecords, TheEvenOptionAndTheYearLettersByte) {
    // Byte 24 held zero in every file of earlier versions: it is the letter choice now, and
    // option 2 is read only where it means something (headline titles, Chicago ranges).
    struct Case {
        std::size_t at;
        unsigned char value;
        unsigned char read;
        std::uint8_t FormatRecord::*header;
        int kind; // the option of this element of the long journal form, when header is null
        const char* why;
    } cases[] = {
        {24, 1, 1, &FormatRecord::yearLetters, -1, "letters listed"},
        {24, 0, 0, &FormatRecord::yearLetters, -1, "as older files hold it: a run"},
        {24, 2, 0, &FormatRecord::yearLetters, -1, "out of range: the default"},
        {629 + 291 + 17 + 2 * 13, 2, 2, nullptr, 2, "Title in headline style"},
        {629 + 291 + 17 + 9 * 13, 2, 2, nullptr, 9, "PageLast shortened by the Chicago rules"},
        {629 + 291 + 17 + 5 * 13, 2, 0, nullptr, 5, "Year has no option 2"},
        {629 + 291 + 17 + 1 * 13, 2, 0, nullptr, 1, "nor have the Authors"},
        {629 + 291 + 17 + 2 * 13, 3, 0, nullptr, 2, "3 is no option of a title"},
    };
    for (const Case& c : cases) {
        std::string bytes = EncodeFormat(DefaultFormatRecord());
        bytes[c.at] = static_cast<char>(c.value);
        const FormatRecord r = DecodeFormat(bytes);
        const std::uint8_t read =
            c.header != nullptr ? r.*c.header : r.Form(FormSlot::JournalLong).props[c.kind].option;
        EXPECT_EQ(read, c.read) << c.why;
        if (c.read == c.value) {
            EXPECT_EQ(EncodeFormat(r), bytes) << c.why << ": written back as read";
        }
    }
    EXPECT_EQ(EncodeFormat(DefaultFormatRecord())[25], '\0');
}

TEST(UntrustedRecords, ReferencesOutsideThePoolReadEmpty) {
    std::string bytes = EncodeFormat(DefaultFormatRecord());
    const std::size_t authors = 629 + 291 + 17 + 13;                 // long journal Authors block
    PutLe16Into(bytes, authors + 4, static_cast<std::uint16_t>(-5)); // negative offset
    PutLe16Into(bytes, authors + 10, 590);                           // beyond PoolLength
    bytes[authors + 12] = 5;
    const FormatRecord r = DecodeFormat(bytes);
    const FieldProps& p = r.Form(FormSlot::JournalLong).props[1];
    EXPECT_EQ(p.whenMissing, StrRef{});
    EXPECT_EQ(p.textAfter, StrRef{});
    EXPECT_EQ(r.poolLength, 306);

    PutLe16Into(bytes, 26, 700); // PoolLength out of range: every text reads empty
    const FormatRecord empty = DecodeFormat(bytes);
    EXPECT_EQ(empty.poolLength, 0);
    FormatRecord copy = empty;
    for (const std::string& text : AllTexts(copy)) {
        EXPECT_EQ(text, "");
    }
}

TEST(UntrustedRecords, CountsAndKindsOutOfRange) {
    std::string bytes = EncodeFormat(DefaultFormatRecord());
    const std::size_t journalLong = 629 + 291;
    bytes[journalLong + 238] = 17; // Count above 16: an empty form
    const std::size_t chapterLong = 629 + 3 * 291;
    bytes[chapterLong + 1 + 1] = 40; // Year replaced by an unknown kind: skipped
    const FormatRecord r = DecodeFormat(bytes);
    EXPECT_EQ(r.Form(FormSlot::JournalLong).count, 0);
    EXPECT_EQ(Order(r.Form(FormSlot::ChapterLong)), (std::vector<int>{1, 2, 4, 10, 11, 12, 8, 9}));
}

TEST(Forms, FormForEachSourceType) {
    TFormatDesc desc;
    desc.record.Form(FormSlot::MonographShort).count = 3;
    desc.record.Form(FormSlot::ChapterLong).count = 4;
    EXPECT_EQ(&FormFor(desc, SourceType::Journal, false),
              &desc.record.Form(FormSlot::JournalShort));
    EXPECT_EQ(&FormFor(desc, SourceType::Chapter, true), &desc.record.Form(FormSlot::ChapterLong));
    EXPECT_EQ(&FormFor(desc, SourceType::Monograph, false),
              &desc.record.Form(FormSlot::MonographShort));
    EXPECT_EQ(&FormFor(desc, SourceType::Unparsed, true), &desc.record.Form(FormSlot::JournalLong));
    SetOrder(desc.record.Form(FormSlot::JournalLong), {F::Authors, F::Issue});
    EXPECT_TRUE(IssueListed(desc));
    SetOrder(desc.record.Form(FormSlot::JournalShort), {F::Issue});
    SetOrder(desc.record.Form(FormSlot::JournalLong), {F::Authors});
    EXPECT_FALSE(IssueListed(desc));
}

TEST(Forms, ResetAndCopyRecord) {
    TFormatDesc desc;
    desc.etAlContraction = true;
    desc.SetFileName("x.for");
    const FormatRecord saved = desc.record;
    SetText(desc, desc.record.numberPrefix, "changed");
    CopyFormatRecord(desc, saved);
    EXPECT_EQ(desc.record, saved);
    ResetFormat(desc);
    EXPECT_FALSE(desc.etAlContraction);
    EXPECT_EQ(desc.FileName(), "");
}

} // namespace
} // namespace cvx
