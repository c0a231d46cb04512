#include "cli/JournalCommands.h"

#include "joboptions/JobOptions.h"
#include "journals/DatabaseJournalLookup.h"
#include "journals/JournalEditing.h"
#include "journals/JournalMatching.h"
#include "settings/SettingsStore.h"
#include "text/Cp1252.h"
#include "text/FileNames.h"
#include "text/StringPrimitives.h"

namespace cvx::cli {

namespace {

constexpr std::string_view kQualityWords[] = {"unique", "fallback", "ambiguous", "not found"};

// Opens the database of --database, or the one of the user's settings (the shipped one unless
// the user names another), in this thread's access state.
JournalDatabase* OpenDatabase(const Args& args) {
    const std::optional<std::string> named = args.Value("--database");
    const std::string path =
        named ? JournalDatabasePath(*named) : JobOptions::Read(SettingsStore()).journalDatabase;
    JournalDatabase& db = ThreadJournalDatabase();
    if (!db.Check(path)) {
        Fail(Msg(msg::CliJournal::DatabaseUnusable, DisplayPath(path),
                 JournalErrorText(db.LastError())));
        return nullptr;
    }
    return &db;
}

std::string_view QualityWord(const JournalHit& hit) {
    switch (hit.quality) {
    case JournalError::None:
        return kQualityWords[0];
    case JournalError::FullNameReturned:
        return kQualityWords[1];
    case JournalError::Ambiguous:
        return kQualityWords[2];
    default:
        return kQualityWords[3];
    }
}

int RunLookup(const Args& args) {
    std::optional<int> form = 1;
    if (const std::optional<std::string> value = args.Value("--form")) {
        form = ParseInt(*value, true);
        if (!form || *form < 0 || (*form > 8 && *form != 15)) {
            return Usage({msg::CliJournal::UsageLookup});
        }
    }
    JournalDatabase* db = OpenDatabase(args);
    if (!db) {
        return kFailure;
    }
    const JournalHit hit =
        LookUpJournal(*db, Utf8ToCp1252(args.Positional()[1]), static_cast<JournalForm>(*form));
    if (IsJournalFailure(db->LastError())) {
        return Fail(Msg(msg::CliJournal::DatabaseUnusable, DisplayPath(db->Path()),
                        JournalErrorText(db->LastError())));
    }
    PrintLine(hit.name);
    PrintLine(QualityWord(hit));
    return hit.Matched() ? kSuccess : kFailure;
}

int RunShowJournal(const Args& args) {
    JournalDatabase* db = OpenDatabase(args);
    if (!db) {
        return kFailure;
    }
    const std::string name = Utf8ToCp1252(args.Positional()[1]);
    JournalDefinition def;
    if (!ReadJournalDefinition(*db, name, def)) {
        const JournalError e = db->LastError();
        if (e == JournalError::Ambiguous) {
            db->ResetError();
            const JournalHit all = LookUpJournal(*db, name, JournalForm::WithSuffix);
            std::string text = Msg(msg::CliJournal::NameShared, name);
            for (int record : all.records) {
                text += "\r  " + db->FormName(record, JournalForm::WithSuffix).value_or("");
            }
            return Fail(text + "\r" + Message(msg::CliJournal::ChooseOne));
        }
        return Fail(JournalErrorText(IsJournalFailure(e) ? e : JournalError::NotFound));
    }
    // The definition's texts in the order of the labels: full, alternate, Medlar, ... ISSN.
    constexpr int kTextOfLabel[] = {1, 0, 2, 3, 4, 5, 6};
    for (int label = 0; label < 7; ++label) {
        PrintLine(Message(msg::CliJournal::ShowFullName + label) + " " +
                  def.texts[static_cast<std::size_t>(kTextOfLabel[label])]);
    }
    const bool flags[] = {def.requiresIssue, def.lacksVolume, def.editedByUser};
    for (int f = 0; f < 3; ++f) {
        PrintLine(Message(msg::CliJournal::ShowRequiresIssue + f) + " " +
                  Message(flags[f] ? msg::YesNo::Yes : msg::YesNo::No));
    }
    return kSuccess;
}

int RunStats(const Args& args) {
    JournalDatabase* db = OpenDatabase(args);
    if (!db) {
        return kFailure;
    }
    const std::optional<JournalCounts> counts = db->Statistics();
    if (!counts) {
        return Fail(Msg(msg::CliJournal::DatabaseUnusable, DisplayPath(db->Path()),
                        JournalErrorText(db->LastError())));
    }
    // The statistics dialog's order: full names, alternate names, Medlar, Index Medicus,
    // BIOSIS, Chemical Abstracts, ISSN, edited by the user.
    const int values[] = {counts->withBit[1], counts->alternateNames, counts->withBit[2],
                          counts->withBit[3], counts->withBit[4],     counts->withBit[5],
                          counts->withBit[6], counts->withBit[0],     counts->records,
                          db->BlockCount()};
    PrintLine(Message(msg::CliJournal::StatsDatabase) + " " + DisplayPath(db->Path()));
    for (int i = 0; i < 10; ++i) {
        PrintLine(Message(msg::CliJournal::StatsFullNames + i) + " " + JournalCountText(values[i]));
    }
    return kSuccess;
}

} // namespace

int RunJournal(const Args& args) {
    const std::vector<std::string>& p = args.Positional();
    const std::string_view verb = p.empty() ? std::string_view() : std::string_view(p[0]);
    if (!args.Complete()) {
        return Usage({msg::CliJournal::UsageLookup, msg::CliJournal::UsageShow,
                      msg::CliJournal::UsageStats});
    }
    if (verb == "lookup" && p.size() == 2 && !args.Unknown({"--form", "--database"})) {
        return RunLookup(args);
    }
    if (verb == "show" && p.size() == 2 && !args.Unknown({"--database"})) {
        return RunShowJournal(args);
    }
    if (verb == "stats" && p.size() == 1 && !args.Unknown({"--database"})) {
        return RunStats(args);
    }
    return Usage(
        {msg::CliJournal::UsageLookup, msg::CliJournal::UsageShow, msg::CliJournal::UsageStats});
}

} // namespace cvx::cli
