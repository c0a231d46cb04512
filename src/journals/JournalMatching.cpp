#include "journals/JournalMatching.h"

#include "journals/JournalNames.h"

#include <algorithm>

namespace cvx {

namespace {

constexpr std::size_t kMaxJoinedLength = 250;
constexpr int kWithoutIssnBonus = 10;
constexpr int kSameIssnBonus = 20;

class Search {
public:
    Search(JournalDatabase& db, JournalForm form) : db_(db), form_(form) {}

    // Offers a candidate with its score; false when the database failed.
    bool Offer(int record, int score) {
        if (score < best_) {
            return true;
        }
        bool fallback = false;
        std::optional<std::string> name = db_.FormName(record, form_);
        if (!name && !Failed()) {
            fallback = true;
            name = db_.FormName(record, JournalForm::FullName);
            if (!name && !Failed()) {
                if (const std::optional<JournalRecordView> v = db_.Record(record)) {
                    name = std::string(v->name);
                }
            }
        }
        if (!name) {
            return !Failed();
        }
        if (score > best_) {
            best_ = score;
            names_.assign(1, *name);
            hit_.name = std::move(*name);
            hit_.record = record;
            hit_.records.assign(1, record);
            hit_.quality = fallback ? JournalError::FullNameReturned : JournalError::None;
        } else if (std::find(names_.begin(), names_.end(), *name) == names_.end()) {
            hit_.quality = JournalError::Ambiguous;
            names_.push_back(*name);
            hit_.records.push_back(record);
            if (hit_.name.size() + 1 + name->size() < kMaxJoinedLength) {
                hit_.name += "/" + *name;
            }
        }
        return true;
    }

    bool Failed() const { return IsJournalFailure(db_.LastError()); }

    JournalHit Result() {
        if (Failed()) {
            return JournalHit{{}, db_.LastError(), -1, {}};
        }
        if (best_ == 0) {
            hit_ = JournalHit{};
        }
        db_.SetError(hit_.quality == JournalError::NotFound ? JournalError::None : hit_.quality);
        return hit_;
    }

private:
    JournalDatabase& db_;
    JournalForm form_;
    int best_ = 0;
    JournalHit hit_;
    std::vector<std::string> names_; // the names given, each once
};

} // namespace

JournalHit LookUpJournal(JournalDatabase& db, std::string_view name, JournalForm form) {
    if (IsJournalFailure(db.LastError())) {
        return JournalHit{{}, db.LastError(), -1, {}};
    }
    if (!db.IsOpen()) {
        db.SetError(JournalError::CannotOpen);
        return JournalHit{{}, db.LastError(), -1, {}};
    }
    db.ResetError();
    const JournalQuery query = SplitJournalQuery(name);
    Search search(db, form);
    if (query.name.empty()) {
        if (!query.issn.empty()) {
            const PackedIssn packed = PackIssn(query.issn);
            const int record = db.FindByIssn(
                std::string_view(reinterpret_cast<const char*>(packed.data()), packed.size()));
            if (record >= 0) {
                search.Offer(record, 1);
            }
        }
        return search.Result();
    }

    const std::string normalised = NormaliseJournalName(query.name);
    const std::string folded = FoldJournalName(query.name);
    const std::uint16_t signature = SignatureOf(normalised).value;
    // The journal's ISSN matters only when the query carries one.
    auto issnBonus = [&](int record) {
        if (query.issn.empty()) {
            return 0;
        }
        const std::optional<std::string> issn = db.FormName(record, JournalForm::Issn);
        return !issn ? kWithoutIssnBonus : *issn == query.issn ? kSameIssnBonus : 0;
    };
    int equalNames = 0;
    for (int r = db.FindBySignature(signature); r >= 0 && r < db.RecordCount(); ++r) {
        const std::optional<JournalRecordView> v = db.Record(r);
        const std::string* candidate = db.NormalisedName(r);
        if (!v || !candidate || v->signature != signature) {
            break;
        }
        int score = 0;
        if (*candidate == normalised) {
            if (query.number != 0 && ++equalNames != query.number) {
                continue;
            }
            score = 2;
            if (FoldJournalName(v->name) == folded) {
                score = 3;
                if (v->name.size() == query.name.size()) {
                    score = v->name == query.name ? 5 : 4;
                }
            }
            score += issnBonus(r);
        } else if (!query.issn.empty() && query.number == 0) {
            score = 1 + issnBonus(r);
            if (score <= kSameIssnBonus) {
                continue;
            }
        } else {
            continue;
        }
        if (search.Failed() || !search.Offer(r, score)) {
            break;
        }
    }
    return search.Result();
}

JournalHit LookUpJournal(const std::string& path, std::string_view name, JournalForm form,
                         std::uint64_t job) {
    JournalDatabase& db = ThreadJournalDatabase();
    db.ResetError();
    if (db.OpenForJob(path, job) != JournalError::None) {
        return JournalHit{{}, db.LastError(), -1, {}};
    }
    return LookUpJournal(db, name, form);
}

} // namespace cvx
