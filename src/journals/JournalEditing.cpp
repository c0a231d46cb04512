#include "journals/JournalEditing.h"

#include "journals/JournalMatching.h"
#include "journals/JournalNames.h"
#include "storage/FileRewrite.h"
#include "text/StringPrimitives.h"

#include <algorithm>
#include <functional>

namespace cvx {

namespace {

constexpr int kMaxFurtherNames = 9;
constexpr int kMaxRingRecords = 15;

// A name as the definition gives it: trimmed, without a final "#" and the character after it.
std::string CleanName(std::string_view text) {
    std::string name = TrimBlanks(text);
    if (name.size() >= 2 && name[name.size() - 2] == '#') {
        name = TrimRightBlanks(std::string_view(name).substr(0, name.size() - 2));
    }
    return name;
}

// Splits a text at "=" into its own name and the further names after it.
std::vector<std::string> SplitNames(std::string_view text) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (true) {
        const std::size_t eq = text.find('=', start);
        names.push_back(CleanName(text.substr(
            start, eq == std::string_view::npos ? std::string_view::npos : eq - start)));
        if (eq == std::string_view::npos) {
            return names;
        }
        start = eq + 1;
    }
}

JournalError Finish(JournalDatabase& db, JournalError e) {
    db.SetError(e);
    return e;
}

// Opens the database for writing, changes its image and writes the result in place.
JournalError ChangeFile(JournalDatabase& db, const std::string& path,
                        const std::function<JournalError(JournalImage&)>& change) {
    db.ResetError();
    if (const JournalError e = db.Open(path, JournalOpenMode::ReadWrite); e != JournalError::None) {
        return e;
    }
    JournalImage image;
    if (const JournalError e = JournalImage::Load(db, image); e != JournalError::None) {
        return Finish(db, e);
    }
    if (const JournalError e = change(image); e != JournalError::None) {
        return Finish(db, e);
    }
    std::string bytes;
    if (const JournalError e = image.Serialise(bytes); e != JournalError::None) {
        return Finish(db, e);
    }
    const Outcome written =
        RewriteFile(db.Files(), path, [&](WritableFile& out) { return out.Append(bytes); });
    db.Close();
    if (!written) {
        return Finish(db, JournalError::TransferFailed);
    }
    return db.Open(path, JournalOpenMode::Read);
}

} // namespace

bool ReadJournalDefinition(JournalDatabase& db, std::string_view name, JournalDefinition& def) {
    def = JournalDefinition{};
    const JournalHit hit = LookUpJournal(db, name, JournalForm::RecordNumber);
    if (hit.quality != JournalError::None) {
        return false;
    }
    const std::optional<int> record = ParseInt(hit.name, true);
    const std::optional<JournalRecordView> v =
        record ? db.Record(*record) : std::optional<JournalRecordView>();
    if (!v || !(v->flags & kJournalFlagFullName)) {
        return false;
    }
    def.fullNameRecord = *record;
    def.editedByUser = (v->flags & kJournalFlagUserEdited) != 0;
    if (v->flags & kJournalFlagExtra) {
        def.requiresIssue = (v->extra & kJournalExtraRequiresIssue) != 0;
        def.lacksVolume = (v->extra & kJournalExtraLacksVolume) != 0;
    }
    for (int form = 0; form < static_cast<int>(def.texts.size()); ++form) {
        def.texts[static_cast<std::size_t>(form)] =
            db.FormName(*record, static_cast<JournalForm>(form)).value_or(std::string());
    }
    return !IsJournalFailure(db.LastError());
}

JournalError DefinitionRecords(const JournalDefinition& def, bool userEdited,
                               std::vector<JournalRecord>& records) {
    records.clear();
    std::array<std::string, 7> own;
    std::vector<std::string> alternates;
    for (std::size_t t = 0; t < def.texts.size(); ++t) {
        std::vector<std::string> names = SplitNames(def.texts[t]);
        own[t] = std::move(names.front());
        alternates.insert(alternates.end(), std::make_move_iterator(names.begin() + 1),
                          std::make_move_iterator(names.end()));
    }
    if (alternates.size() > static_cast<std::size_t>(kMaxFurtherNames)) {
        return JournalError::Malformed;
    }
    if (own[1].empty()) {
        return JournalError::FullNameLacking;
    }
    std::optional<std::string> issn;
    if (!own[6].empty() && !(issn = AcceptIssn(own[6]))) {
        return JournalError::IllegalIssn;
    }
    auto add = [&](const std::string& name, std::uint8_t flags) {
        if (name.empty()) {
            return;
        }
        for (JournalRecord& r : records) {
            if (r.name == name) {
                r.flags |= flags;
                return;
            }
        }
        JournalRecord r;
        r.flags = flags;
        r.name = name;
        records.push_back(std::move(r));
    };
    for (int form = 1; form <= 5; ++form) {
        add(own[static_cast<std::size_t>(form)], static_cast<std::uint8_t>(1 << form));
    }
    alternates.insert(alternates.begin(), own[0]);
    for (const std::string& name : alternates) {
        add(name, 0);
    }
    for (JournalRecord& r : records) {
        if (r.name.size() > kJournalMaxNameLength) {
            return JournalError::Malformed;
        }
        r.signature = SignatureOf(NormaliseJournalName(r.name)).value;
        if (!(r.flags & kJournalFlagFullName)) {
            continue;
        }
        if (userEdited) {
            r.flags |= kJournalFlagUserEdited;
        }
        if (issn) {
            r.flags |= kJournalFlagIssn;
            const PackedIssn packed = PackIssn(*issn);
            r.packedIssn.assign(packed.begin(), packed.end());
        }
        if (def.requiresIssue || def.lacksVolume) {
            r.flags |= kJournalFlagExtra;
            r.extra =
                static_cast<std::uint8_t>((def.requiresIssue ? kJournalExtraRequiresIssue : 0) |
                                          (def.lacksVolume ? kJournalExtraLacksVolume : 0));
        }
    }
    return JournalError::None;
}

JournalError StoreDefinition(JournalImage& image, const JournalDefinition& def, bool userEdited) {
    if (image.Records().size() >= static_cast<std::size_t>(kJournalEditRecordLimit)) {
        return JournalError::Malformed;
    }
    std::vector<JournalRecord> names;
    if (const JournalError e = DefinitionRecords(def, userEdited, names); e != JournalError::None) {
        return e;
    }
    std::stable_sort(
        names.begin(), names.end(),
        [](const JournalRecord& a, const JournalRecord& b) { return a.signature < b.signature; });
    std::vector<int> inserted;
    for (JournalRecord& name : names) {
        std::vector<JournalRecord>& records = image.Records();
        const std::string own = NormaliseJournalName(name.name);
        int p = static_cast<int>(std::lower_bound(records.begin(), records.end(), name.signature,
                                                  [](const JournalRecord& r, std::uint16_t s) {
                                                      return r.signature < s;
                                                  }) -
                                 records.begin());
        while (p < static_cast<int>(records.size()) &&
               records[static_cast<std::size_t>(p)].signature == name.signature &&
               NormaliseJournalName(records[static_cast<std::size_t>(p)].name) <= own) {
            ++p;
        }
        // A record at the border of two blocks may end the first or begin the second.
        const int at = std::min(image.BlockOf(p), image.BlockCount() - 1);
        std::vector<int> choices{at};
        if (at > 0 && p == image.BlockStarts()[static_cast<std::size_t>(at)]) {
            choices.insert(choices.begin(), at - 1);
        }
        const auto room = std::find_if(choices.begin(), choices.end(), [&](int b) {
            return image.BlockEnd(b) - image.BlockStarts()[static_cast<std::size_t>(b)] <
                       kJournalMaxBlockRecords &&
                   image.BlockSize(b) + name.Size() <= kJournalMaxEditedBlock;
        });
        if (room == choices.end()) {
            return JournalError::Malformed;
        }
        image.Insert(p, *room, std::move(name));
        for (int& q : inserted) {
            if (q >= p) {
                ++q;
            }
        }
        image.Records()[static_cast<std::size_t>(p)].next = inserted.empty() ? p : inserted.front();
        if (!inserted.empty()) {
            image.Records()[static_cast<std::size_t>(inserted.back())].next = p;
        }
        inserted.push_back(p);
    }
    return JournalError::None;
}

JournalError RemoveJournal(JournalImage& image, JournalDatabase& db, std::string_view name) {
    const JournalHit hit = LookUpJournal(db, name, JournalForm::RecordNumber);
    if (IsJournalFailure(db.LastError())) {
        return db.LastError();
    }
    if (hit.quality == JournalError::Ambiguous) {
        return JournalError::Ambiguous;
    }
    if (!hit.Found() || hit.record < 0) {
        return JournalError::NotFound;
    }
    const std::vector<JournalRecord>& records = image.Records();
    std::vector<int> ring{hit.record};
    for (int r = records[static_cast<std::size_t>(hit.record)].next; r != hit.record;
         r = records[static_cast<std::size_t>(r)].next) {
        if (r < 0 || r >= static_cast<int>(records.size()) ||
            static_cast<int>(ring.size()) >= kMaxRingRecords) {
            return JournalError::Inconsistent;
        }
        ring.push_back(r);
    }
    image.Remove(std::move(ring));
    return JournalError::None;
}

JournalError StoreJournal(JournalDatabase& db, const std::string& path,
                          const JournalDefinition& def) {
    return ChangeFile(db, path, [&](JournalImage& image) { return StoreDefinition(image, def); });
}

JournalError DeleteJournal(JournalDatabase& db, const std::string& path, std::string_view name) {
    return ChangeFile(db, path,
                      [&](JournalImage& image) { return RemoveJournal(image, db, name); });
}

JournalError ReplaceJournal(JournalDatabase& db, const std::string& path, std::string_view name,
                            const JournalDefinition& def) {
    return ChangeFile(db, path, [&](JournalImage& image) {
        if (const JournalError e = RemoveJournal(image, db, name); e != JournalError::None) {
            return e;
        }
        return StoreDefinition(image, def);
    });
}

} // namespace cvx
