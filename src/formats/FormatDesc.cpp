#include "formats/FormatDesc.h"

#include "storage/LittleEndian.h"
#include "text/Catalogue.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace cvx {

namespace {

using K = FieldIndex;

constexpr int kHeaderSize = 28;
constexpr int kFormSize = 291;
constexpr int kPropsSize = 13;
constexpr int kStyleSize = 25;

constexpr std::size_t Kind(K k) {
    return static_cast<std::size_t>(k);
}

// The remaining kinds that the defaults keep in each order after the elements in use.
constexpr std::array<std::uint8_t, kMaxElements> kShortOrder = {1, 5, 0,  2,  7,  3,  4,  6,
                                                                8, 9, 10, 11, 12, 13, 14, 15};
constexpr std::array<std::uint8_t, kMaxElements> kJournalLongOrder = {1, 5, 2,  3,  6,  8,  9,  0,
                                                                      7, 4, 10, 11, 12, 13, 14, 15};
constexpr std::array<std::uint8_t, kMaxElements> kChapterLongOrder = {1, 5, 2, 4, 10, 11, 12, 8,
                                                                      9, 0, 3, 6, 7,  13, 14, 15};
constexpr std::array<std::uint8_t, kMaxElements> kMonographLongOrder = {
    1, 5, 2, 4, 11, 12, 8, 9, 0, 3, 6, 10, 7, 13, 14, 15};

void SetDefaultStyle(NameListStyle& style, PoolLayout& texts, bool longForm) {
    style.personalNames = longForm ? 0 : 1;
    texts.Set(style.betw1stAnd2nd, ", ");
    texts.Set(style.beforeLast, " and ");
    if (longForm) {
        texts.Set(style.substSuperNames, " et al.");
        texts.Set(style.betwSubsSurPers, " ");
        texts.Set(style.betw1stSurAndPers, " ");
        texts.Set(style.afterPersonal, ".");
        texts.Set(style.betwPersonal, ".");
    }
}

FormatRecord BuildDefaults() {
    FormatRecord r;
    r.groupSort = 1;
    r.charSortOrder = 1;
    r.paragraphStyle = 2;
    r.allowEtAl = 1;
    r.pool[kPoolCapacity] = static_cast<char>(0xFF);
    PoolLayout texts;
    for (int slot = 0; slot < kFormCount; ++slot) {
        FormDef& f = r.forms[slot];
        const bool longForm = slot % 2 == 1;
        const auto source = static_cast<SourceType>(slot / 2);
        for (std::size_t k = 0; k < f.props.size(); ++k) {
            f.props[k].kind = static_cast<std::uint8_t>(k);
        }
        auto props = [&f](K k) -> FieldProps& { return f.props[Kind(k)]; };
        SetDefaultStyle(f.authorStyle, texts, longForm);
        if (source == SourceType::Chapter) {
            SetDefaultStyle(f.editorStyle, texts, longForm);
        }
        texts.Set(props(K::Authors).whenMissing, longForm ? "Anonymous. " : "Anonymous");
        texts.Set(props(K::Year).textBefore, longForm ? "(" : ", ");
        texts.Set(props(K::Year).whenMissing, longForm ? " (?) " : ", ????");
        if (!longForm) {
            f.order = kShortOrder;
            f.count = 2;
            continue;
        }
        texts.Set(props(K::Year).textAfter, ") ");
        texts.Set(props(K::Authors).textAfter, " ");
        texts.Set(props(K::Title).textAfter, ". ");
        texts.Set(props(K::Volume).textAfter, ", ");
        texts.Set(props(K::PageLast).textBefore, "-");
        texts.Set(props(K::PageLast).textAfter, ". ");
        texts.Set(props(K::PageLast).whenMissing, ". ");
        texts.Set(props(K::Comments).textBefore, "#L");
        texts.Set(props(K::Comments).textAfter, "#L");
        texts.Set(props(K::Address).textAfter, "#L");
        texts.Set(props(K::TranslTitle).textBefore, "[");
        texts.Set(props(K::TranslTitle).textAfter, "] ");
        if (source == SourceType::Journal) {
            texts.Set(props(K::Journal).textBefore, "#I");
            texts.Set(props(K::Journal).textAfter, "#I ");
            f.order = kJournalLongOrder;
            f.count = 7;
            continue;
        }
        texts.Set(props(K::BookTitle).textAfter, ". ");
        texts.Set(props(K::PageFirst).textBefore, "pp ");
        texts.Set(props(K::City).textBefore, ", ");
        texts.Set(props(K::City).textAfter, ". ");
        texts.Set(props(K::City).whenMissing, ". ");
        if (source == SourceType::Chapter) {
            texts.Set(props(K::BookTitle).textBefore, "In ");
            texts.Set(props(K::Editors).textBefore, "Edited by ");
            texts.Set(props(K::Editors).textAfter, " ");
            f.order = kChapterLongOrder;
            f.count = 9;
        } else {
            f.order = kMonographLongOrder;
            f.count = 7;
        }
    }
    // The defaults fit by construction.
    (void)texts.Apply(r);
    return r;
}

bool RefInPool(const FormatRecord& record, StrRef ref) {
    return ref.offset >= 0 && ref.length <= kMaxPoolText &&
           ref.offset + ref.length <= record.poolLength;
}

// Appends a text to the pool; false (reference empty) when it does not fit.
bool AppendPoolText(FormatRecord& record, StrRef& ref, std::string_view text) {
    ref = {};
    if (text.empty()) {
        return true;
    }
    if (text.size() > static_cast<std::size_t>(kMaxPoolText) ||
        record.poolLength + static_cast<int>(text.size()) > kPoolCapacity) {
        return false;
    }
    std::memcpy(record.pool.data() + record.poolLength, text.data(), text.size());
    ref = {record.poolLength, static_cast<std::uint8_t>(text.size())};
    record.poolLength = static_cast<std::int16_t>(record.poolLength + text.size());
    return true;
}

// Removes a text and closes the gap, so the pool never has holes and keeps the texts in the
// order in which they were defined.
void RemovePoolText(FormatRecord& record, StrRef& ref) {
    const StrRef old = ref;
    ref = {};
    if (old.length == 0 || !RefInPool(record, old)) {
        return;
    }
    const int end = old.offset + old.length;
    std::memmove(record.pool.data() + old.offset, record.pool.data() + end,
                 static_cast<std::size_t>(record.poolLength - end));
    ForEachStrRef(record, [&old](StrRef& r) {
        if (r.length != 0 && r.offset > old.offset) {
            r.offset = static_cast<std::int16_t>(r.offset - old.length);
        }
    });
    record.poolLength = static_cast<std::int16_t>(record.poolLength - old.length);
}

Outcome PoolWarning() {
    return Outcome::Error(Msg(msg::CreateFormats::OutOfFormatSpace));
}

// Sequential little-endian writer and reader of the record's bytes.
class Writer {
public:
    explicit Writer(std::string& out) : out_(out) {}
    void U8(std::uint8_t v) { out_.push_back(static_cast<char>(v)); }
    void I16(std::int16_t v) { PutLe16(out_, static_cast<std::uint16_t>(v)); }
    void Ref(StrRef r) {
        I16(r.offset);
        U8(r.length);
    }
    void Bytes(const char* p, std::size_t n) { out_.append(p, n); }

private:
    std::string& out_;
};

class Reader {
public:
    explicit Reader(std::string_view in) : in_(in) {}
    std::uint8_t U8() { return static_cast<std::uint8_t>(in_[pos_++]); }
    std::int16_t I16() {
        const auto v = static_cast<std::int16_t>(GetLe16(in_, pos_));
        pos_ += 2;
        return v;
    }
    StrRef Ref() {
        StrRef r;
        r.offset = I16();
        r.length = U8();
        return r;
    }
    void Bytes(char* p, std::size_t n) {
        std::memcpy(p, in_.data() + pos_, n);
        pos_ += n;
    }
    void Skip(std::size_t n) { pos_ += n; }

private:
    std::string_view in_;
    std::size_t pos_ = 0;
};

void WriteStyle(Writer& w, const NameListStyle& s) {
    w.U8(s.personalNames);
    w.U8(s.nameOrder);
    w.U8(s.maxAuthors);
    w.U8(s.includAuthors);
    for (StrRef r : {s.substSuperNames, s.betwSubsSurPers, s.afterPersonal, s.betw1stSurAndPers,
                     s.betwPersonal, s.betw1stAnd2nd, s.beforeLast}) {
        w.Ref(r);
    }
}

void ReadStyle(Reader& in, NameListStyle& s) {
    s.personalNames = in.U8();
    s.nameOrder = in.U8();
    s.maxAuthors = in.U8();
    s.includAuthors = in.U8();
    for (StrRef* r : {&s.substSuperNames, &s.betwSubsSurPers, &s.afterPersonal,
                      &s.betw1stSurAndPers, &s.betwPersonal, &s.betw1stAnd2nd, &s.beforeLast}) {
        *r = in.Ref();
    }
}

// A value within 0..max, else the default.
std::uint8_t Sound(std::uint8_t value, int max, std::uint8_t fallback) {
    return value <= max ? value : fallback;
}

// Drops elements of unknown kinds; a count beyond the order's size reads as an empty form.
void MakeOrderSound(FormDef& f) {
    if (f.count > kMaxElements) {
        f.count = 0;
    }
    std::array<std::uint8_t, kMaxElements> order{};
    std::size_t used = 0;
    for (int i = 0; i < f.count; ++i) {
        if (f.order[i] < kElementKinds) {
            order[used++] = f.order[i];
        }
    }
    const auto count = static_cast<std::uint8_t>(used);
    for (int i = f.count; i < kMaxElements; ++i) {
        order[used++] = f.order[i] < kElementKinds ? f.order[i] : 0;
    }
    f.order = order;
    f.count = count;
}

void MakeStyleSound(NameListStyle& s, const NameListStyle& def) {
    s.personalNames = Sound(s.personalNames, kMaxPersonalNames, def.personalNames);
    s.nameOrder = Sound(s.nameOrder, kMaxNameOrder, def.nameOrder);
}

void MakeSound(FormatRecord& r) {
    const FormatRecord& def = DefaultFormatRecord();
    r.shortForm = Sound(r.shortForm, kMaxShortForm, def.shortForm);
    r.groupSort = Sound(r.groupSort, kMaxGroupSort, def.groupSort);
    r.encloseGroup = Sound(r.encloseGroup, kMaxEncloseGroup, def.encloseGroup);
    r.betwCitations = Sound(r.betwCitations, kMaxBetwCitations, def.betwCitations);
    r.citationStyle = Sound(r.citationStyle, kMaxCitationStyle, def.citationStyle);
    r.refListSortOrder = Sound(r.refListSortOrder, kMaxRefListSortOrder, def.refListSortOrder);
    r.charSortOrder = Sound(r.charSortOrder, kMaxCharSortOrder, def.charSortOrder);
    r.paragraphStyle = Sound(r.paragraphStyle, kMaxParagraphStyle, def.paragraphStyle);
    r.numberingStyle = Sound(r.numberingStyle, kMaxNumberingStyle, def.numberingStyle);
    r.allowEtAl = Sound(r.allowEtAl, 1, def.allowEtAl);
    r.skipRepeats = Sound(r.skipRepeats, 1, def.skipRepeats);
    r.yearLetters = Sound(r.yearLetters, kMaxYearLetters, def.yearLetters);
    if (r.poolLength < 0 || r.poolLength > kPoolCapacity) {
        r.poolLength = 0;
    }
    for (int slot = 0; slot < kFormCount; ++slot) {
        FormDef& f = r.forms[slot];
        const FormDef& d = def.forms[slot];
        f.defined = Sound(f.defined, 1, 0);
        MakeOrderSound(f);
        for (std::size_t k = 0; k < f.props.size(); ++k) {
            f.props[k].option = Sound(f.props[k].option, MaxOption(static_cast<FieldIndex>(k)), 0);
            f.props[k].removeTrailDot = Sound(f.props[k].removeTrailDot, 1, 0);
            f.props[k].kind = static_cast<std::uint8_t>(k);
        }
        f.journalForm = Sound(f.journalForm, kMaxJournalForm, d.journalForm);
        f.includeFullStops = Sound(f.includeFullStops, 1, d.includeFullStops);
        MakeStyleSound(f.authorStyle, d.authorStyle);
        MakeStyleSound(f.editorStyle, d.editorStyle);
    }
    ForEachStrRef(r, [&r](StrRef& ref) {
        if (ref.length != 0 && !RefInPool(r, ref)) {
            ref = {};
        }
    });
}

} // namespace

int MaxOption(FieldIndex kind) {
    switch (kind) {
    case FieldIndex::Title:
    case FieldIndex::BookTitle:
    case FieldIndex::TranslTitle:
    case FieldIndex::TranslBookTitle:
    case FieldIndex::PageLast:
        return 2;
    default:
        return 1;
    }
}

std::uint32_t AllowedKinds(FormSlot slot) {
    switch (static_cast<int>(slot) / 2) {
    case 1:
        return kChapterKinds;
    case 2:
        return kMonographKinds;
    default:
        return kJournalKinds;
    }
}

TFormatDesc::TFormatDesc() : record(DefaultFormatRecord()) {}

const FormatRecord& DefaultFormatRecord() {
    static const FormatRecord defaults = BuildDefaults();
    return defaults;
}

void ResetFormat(TFormatDesc& desc) {
    desc.record = DefaultFormatRecord();
    desc.etAlContraction = false;
    desc.SetFileName({});
}

void CopyFormatRecord(TFormatDesc& desc, const FormatRecord& source) {
    desc.record = source;
}

std::string_view GetPoolString(const FormatRecord& record, StrRef ref) {
    if (ref.length == 0 || !RefInPool(record, ref)) {
        return {};
    }
    return {record.pool.data() + ref.offset, ref.length};
}

Outcome SetPoolString(FormatRecord& record, StrRef& ref, std::string_view text) {
    RemovePoolText(record, ref);
    return AppendPoolText(record, ref, text) ? Outcome::Ok() : PoolWarning();
}

Outcome PoolLayout::Apply(FormatRecord& record) const {
    record.poolLength = 0;
    bool fits = true;
    ForEachStrRef(record, [&](StrRef& ref) {
        ref = {};
        if (const auto it = texts_.find(&ref); it != texts_.end()) {
            fits = AppendPoolText(record, ref, it->second) && fits;
        }
    });
    return fits ? Outcome::Ok() : PoolWarning();
}

void ForEachStrRef(FormatRecord& record, const std::function<void(StrRef&)>& visit) {
    visit(record.numberPrefix);
    visit(record.numberSuffix);
    visit(record.substAuthors);
    for (FormDef& f : record.forms) {
        for (NameListStyle* s : {&f.authorStyle, &f.editorStyle}) {
            for (StrRef* r :
                 {&s->substSuperNames, &s->betwSubsSurPers, &s->afterPersonal,
                  &s->betw1stSurAndPers, &s->betwPersonal, &s->betw1stAnd2nd, &s->beforeLast}) {
                visit(*r);
            }
        }
        for (FieldProps& p : f.props) {
            visit(p.whenMissing);
            visit(p.textBefore);
            visit(p.textAfter);
        }
    }
}

FormSlot FormSlotFor(SourceType sourceType, bool longForm) {
    const int source = sourceType == SourceType::Chapter     ? 1
                       : sourceType == SourceType::Monograph ? 2
                                                             : 0;
    return static_cast<FormSlot>(source * 2 + (longForm ? 1 : 0));
}

const FormDef& FormFor(const TFormatDesc& desc, SourceType sourceType, bool longForm) {
    return desc.record.Form(FormSlotFor(sourceType, longForm));
}

bool IssueListed(const TFormatDesc& desc) {
    const FormDef& f = desc.record.Form(FormSlot::JournalLong);
    for (int i = 0; i < f.count && i < kMaxElements; ++i) {
        if (f.order[i] < kElementKinds && f.props[f.order[i]].kind == Kind(K::Issue)) {
            return true;
        }
    }
    return false;
}

std::string EncodeFormat(const FormatRecord& r) {
    std::string out;
    out.reserve(kFormatFileSize);
    Writer w(out);
    w.I16(static_cast<std::int16_t>(kFormatMagic));
    w.I16(static_cast<std::int16_t>(kFormatMagic));
    for (std::uint8_t v :
         {r.shortForm, r.groupSort, r.encloseGroup, r.betwCitations, r.citationStyle,
          r.refListSortOrder, r.charSortOrder, r.paragraphStyle, r.numberingStyle}) {
        w.U8(v);
    }
    w.Ref(r.numberPrefix);
    w.Ref(r.numberSuffix);
    w.U8(r.allowEtAl);
    w.U8(r.skipRepeats);
    w.Ref(r.substAuthors);
    w.U8(r.yearLetters);
    w.U8(0);
    w.I16(r.poolLength);
    w.Bytes(r.pool.data(), r.pool.size());
    for (const FormDef& f : r.forms) {
        w.U8(f.defined);
        w.Bytes(reinterpret_cast<const char*>(f.order.data()), f.order.size());
        for (const FieldProps& p : f.props) {
            w.U8(p.option);
            w.U8(p.removeTrailDot);
            w.U8(0);
            w.U8(p.kind);
            w.Ref(p.whenMissing);
            w.Ref(p.textBefore);
            w.Ref(p.textAfter);
        }
        w.U8(f.count);
        w.U8(f.journalForm);
        w.U8(f.includeFullStops);
        WriteStyle(w, f.authorStyle);
        WriteStyle(w, f.editorStyle);
    }
    return out;
}

bool HasFormatMagic(std::string_view bytes) {
    return bytes.size() >= kFormatFileSize && GetLe16(bytes, 0) == kFormatMagic &&
           GetLe16(bytes, 2) == kFormatMagic;
}

FormatRecord DecodeFormat(std::string_view bytes) {
    FormatRecord r;
    Reader in(bytes);
    in.Skip(4);
    for (std::uint8_t* v :
         {&r.shortForm, &r.groupSort, &r.encloseGroup, &r.betwCitations, &r.citationStyle,
          &r.refListSortOrder, &r.charSortOrder, &r.paragraphStyle, &r.numberingStyle}) {
        *v = in.U8();
    }
    r.numberPrefix = in.Ref();
    r.numberSuffix = in.Ref();
    r.allowEtAl = in.U8();
    r.skipRepeats = in.U8();
    r.substAuthors = in.Ref();
    r.yearLetters = in.U8();
    in.Skip(1);
    r.poolLength = in.I16();
    in.Bytes(r.pool.data(), r.pool.size());
    for (FormDef& f : r.forms) {
        f.defined = in.U8();
        in.Bytes(reinterpret_cast<char*>(f.order.data()), f.order.size());
        for (FieldProps& p : f.props) {
            p.option = in.U8();
            p.removeTrailDot = in.U8();
            in.Skip(1);
            p.kind = in.U8();
            p.whenMissing = in.Ref();
            p.textBefore = in.Ref();
            p.textAfter = in.Ref();
        }
        f.count = in.U8();
        f.journalForm = in.U8();
        f.includeFullStops = in.U8();
        ReadStyle(in, f.authorStyle);
        ReadStyle(in, f.editorStyle);
    }
    MakeSound(r);
    return r;
}

static_assert(kHeaderSize + kPoolSize + kFormCount * kFormSize == kFormatFileSize);
static_assert(1 + kMaxElements + kElementKinds * kPropsSize + 3 + 2 * kStyleSize == kFormSize);

} // namespace cvx
