#include "refstore/ReferenceJobs.h"

#include "refstore/LineEnds.h"
#include "text/Catalogue.h"
#include "text/FileNames.h"
#include "text/Markup.h"
#include "text/StringPrimitives.h"

namespace cvx {

namespace {

// The shortest text that can hold a reference: an empty line and a character.
constexpr std::uint64_t kSmallestReferenceFile = 3;

// The markers with which the one-line form delimits a title for the list view's emphasis.
constexpr std::string_view kTitleMarker = "!T!T!T";

Outcome CheckNumber(const TReferenceFile& file, int number) {
    if (number < 1 || number > file.RefCount()) {
        return Outcome::Error(Msg(msg::FileOpen::ReferenceBeyondEnd, std::to_string(number),
                                  DisplayPath(file.FileName()), std::to_string(file.RefCount())));
    }
    return Outcome::Ok();
}

Outcome CheckReprintNumber(const std::string& reprintNumber) {
    if (reprintNumber.find_first_of(" \t") != std::string::npos) {
        return Outcome::Error(Message(msg::FileOpen::ReprintNumberHasSpaces));
    }
    if (!HasDigit(reprintNumber)) {
        return Outcome::Error(Message(msg::FileOpen::ReprintNumberLacksDigit));
    }
    return Outcome::Ok();
}

// Refuses a missing file, and one too short to hold a reference, before a map is built for it.
Outcome CheckOpenable(FileSystem& fs, const std::string& name) {
    const FileInfo info = fs.Stat(name);
    if (!info.exists) {
        return Outcome::Error(Msg(msg::FileOpen::NoSuchFile, DisplayPath(name)));
    }
    // A pipe or a device has no size to speak of: opening refuses it for what it is.
    if (info.isRegular && info.size < kSmallestReferenceFile) {
        return Outcome::Error(Msg(msg::RefWin::FileEmpty, DisplayPath(name)));
    }
    return Outcome::Ok();
}

} // namespace

Outcome OpenReferenceFile(TReferenceFile& file, const std::string& name, Progress* progress,
                          DisplayOrder order) {
    file.SetProgress(progress);
    if (Outcome r = CheckOpenable(FileSystem::Default(), name); !r) {
        return r;
    }
    return file.Open(name, order);
}

Outcome OpenReferenceText(FileSystem& fs, const std::string& name, Progress* progress,
                          std::shared_ptr<const ReferenceReader>& reader, const WriteLock* held) {
    if (Outcome r = CheckOpenable(fs, name); !r) {
        return r;
    }
    return OpenReferenceReader(fs, name, progress, false, reader, held);
}

bool RefusedForLineEnds(const Outcome& opening) {
    // The refusal names the kind of line ends the file has (Citavox 1 to 3).
    const std::string& text = opening.message();
    return !opening.ok() && (text.find(Message(msg::Citavox::LfOnly)) != std::string::npos ||
                             text.find(Message(msg::Citavox::CrOnly)) != std::string::npos ||
                             text.find(Message(msg::Citavox::Mixed)) != std::string::npos);
}

Outcome GoToReference(TReferenceFile& file, int number) {
    if (Outcome r = CheckNumber(file, number); !r) {
        return r;
    }
    return file.GoTo(file.AbsoluteToDisplay(number - 1));
}

std::string PlainSingleLine(const StoredReference& ref) {
    return CodesToPlainText(
        ReplaceAll(SingleLineText(ref.data, ref.split.guessedType), kTitleMarker, ""));
}

RefStatus StatusOf(const StoredReference& ref) {
    if (ref.deleted) {
        return RefStatus::Deleted;
    }
    if (ref.suspect) {
        return RefStatus::Suspect;
    }
    return ref.ruined ? RefStatus::Ruined : RefStatus::FormallyCorrect;
}

Outcome ListReferences(const TReferenceFile& file, const FormalCheck& check,
                       std::vector<ListedReference>& list) {
    list.clear();
    const std::shared_ptr<const ReferenceReader> reader = file.Reader();
    const ReferenceView& view = file.View();
    const int visible = view.VisibleCount();
    list.reserve(static_cast<std::size_t>(visible));
    ReadBuffer buffer;
    StoredReference ref;
    for (int pos = 0; pos < visible; ++pos) {
        const int index = view.DisplayToAbsolute(pos);
        if (Outcome r = reader->Parse(index, true, check, ref, &buffer); !r) {
            return r;
        }
        list.push_back({index + 1, StatusOf(ref), file.IsTagged(index), PlainSingleLine(ref)});
    }
    return Outcome::Ok();
}

Outcome ShowReference(const TReferenceFile& file, int number, const FormalCheck& check,
                      ShownReference& shown) {
    if (Outcome r = CheckNumber(file, number); !r) {
        return r;
    }
    StoredReference ref;
    if (Outcome r = file.Reader()->Parse(number - 1, true, check, ref); !r) {
        return r;
    }
    shown.number = number;
    shown.status = StatusOf(ref);
    shown.identification = std::move(ref.split.identification);
    shown.proper = std::move(ref.split.proper);
    shown.abstractPart = std::move(ref.split.abstractPart);
    shown.data = std::move(ref.data);
    return Outcome::Ok();
}

Outcome ReadReference(const TReferenceFile& file, int number, TRefArrData& record) {
    if (Outcome r = CheckNumber(file, number); !r) {
        return r;
    }
    StoredReference ref;
    if (Outcome r = file.Reader()->Parse(number - 1, false, {}, ref); !r) {
        return r;
    }
    record = std::move(ref.data);
    return Outcome::Ok();
}

Outcome TagReferences(TReferenceFile& file, std::string_view sequence, bool absolute) {
    if (Outcome r = file.TagSequence(sequence, absolute, true); !r) {
        return r;
    }
    return file.SaveTags();
}

Outcome ReplaceTags(TReferenceFile& file, const RefSet& set, const ReferenceReader& madeFrom) {
    if (!file.IsOpen() || file.Reader()->Stamp() != madeFrom.Stamp() ||
        set.Size() != file.RefCount()) {
        return Outcome::Error(
            Msg(msg::Citavox::FileChangedDuringJob, DisplayPath(file.FileName())));
    }
    file.TaggedSet() = set;
    return file.SaveTags();
}

Outcome DeleteReferences(TReferenceFile& file, const std::vector<int>& numbers) {
    std::vector<int> indices;
    for (int n : numbers) {
        if (Outcome r = CheckNumber(file, n); !r) {
            return r;
        }
        indices.push_back(n - 1);
    }
    return file.DeleteAt(indices);
}

Outcome DeleteTaggedReferences(TReferenceFile& file, int& deleted) {
    deleted = file.TaggedCount();
    if (deleted == 0) {
        return Outcome::Ok();
    }
    if (Outcome r = file.DeleteTagged(); !r) {
        deleted = 0;
        return r;
    }
    return Outcome::Ok();
}

Outcome AppendReferences(TReferenceFile& file, const std::string& otherFile, ReferenceScope scope,
                         int number, int& appended) {
    appended = 0;
    if (scope == ReferenceScope::Current) {
        if (Outcome r = GoToReference(file, number); !r) {
            return r;
        }
        if (Outcome r = file.AppendTo(otherFile, false); !r) {
            return r;
        }
        appended = 1;
        return Outcome::Ok();
    }
    // Every reference that is not deleted goes as if it were tagged; the user's tags come back
    // afterwards, whatever the outcome.
    const RefSet tags = file.TaggedSet();
    if (scope == ReferenceScope::AllPresent) {
        file.TaggedSet() = file.PresentSet();
    }
    const int count = file.TaggedCount();
    Outcome r = count == 0 ? Outcome::Ok() : file.AppendTo(otherFile, true);
    file.TaggedSet() = tags;
    if (r.ok()) {
        appended = count;
    }
    return r;
}

Outcome ApplyReprintNumbers(TReferenceFile& file, bool apply, ReferenceScope scope, int number,
                            const std::string& reprintNumber) {
    if (Outcome r = CheckReprintNumber(reprintNumber); !r) {
        return r;
    }
    if (scope == ReferenceScope::Current) {
        if (Outcome r = GoToReference(file, number); !r) {
            return r;
        }
    }
    return file.RewriteReprintNumbers(apply, scope, reprintNumber);
}

Outcome RepairLineEnds(const std::string& name, bool& changed) {
    changed = false;
    if (!FileSystem::Default().Stat(name).exists) {
        return Outcome::Error(Msg(msg::FileOpen::NoSuchFile, DisplayPath(name)));
    }
    // The repair says itself what failed: opening, holding or writing the file.
    return FixLineEnds(FileSystem::Default(), name, changed);
}

} // namespace cvx
