// Fuzzes whole database files: opened from memory, looked up in every form, counted, walked
// ring by ring and written out again. Nothing may crash, and no walk may go on without end.

#include "journals/JournalEditing.h"
#include "journals/JournalMatching.h"

#include <cstring>
#include <string>

namespace {

// A file system of one read-only file held in memory.
class MemoryFile final : public cvx::FileSystem {
public:
    explicit MemoryFile(std::string_view bytes) : bytes_(bytes) {}

    cvx::FileInfo Stat(const std::string& path) override {
        cvx::FileInfo info;
        info.exists = path == kPath;
        info.size = bytes_.size();
        return info;
    }
    std::unique_ptr<cvx::ReadableFile> OpenForRead(const std::string& path,
                                                   cvx::Outcome& result) override {
        result = cvx::Outcome::Ok();
        return path == kPath ? std::make_unique<Reader>(bytes_) : nullptr;
    }
    std::unique_ptr<cvx::WritableFile> OpenForWrite(const std::string&, bool,
                                                    cvx::Outcome& result) override {
        result = cvx::Outcome::Error("read-only");
        return nullptr;
    }
    cvx::Outcome Rename(const std::string&, const std::string&) override { return Refused(); }
    cvx::Outcome Remove(const std::string&) override { return Refused(); }
    cvx::Outcome HardLink(const std::string&, const std::string&) override { return Refused(); }
    cvx::Outcome SyncDirectory(const std::string&) override { return Refused(); }
    std::vector<std::string> ListDirectory(const std::string&) override { return {}; }
    bool SameFile(const std::string& a, const std::string& b) override { return a == b; }
    std::unique_ptr<cvx::WritableFile> CreateTemporary(const std::string&, std::string_view,
                                                       std::uint32_t, std::string&,
                                                       cvx::Outcome& result) override {
        result = Refused();
        return nullptr;
    }
    std::string ResolveLinks(const std::string& path) override { return path; }
    std::unique_ptr<cvx::FileLock> TryLock(const std::string&, cvx::LockState& state,
                                           cvx::Outcome& result) override {
        state = cvx::LockState::Failed;
        result = Refused();
        return nullptr;
    }

    static constexpr const char* kPath = "journals.jdb";

private:
    class Reader final : public cvx::ReadableFile {
    public:
        explicit Reader(std::string_view bytes) : bytes_(bytes) {}
        cvx::Outcome ReadAt(std::uint64_t offset, char* dst, std::size_t n,
                            std::size_t& got) override {
            got = offset < bytes_.size() ? std::min<std::size_t>(n, bytes_.size() - offset) : 0;
            std::memcpy(dst, bytes_.data() + offset, got);
            return cvx::Outcome::Ok();
        }
        cvx::FileInfo Info() override {
            cvx::FileInfo info;
            info.exists = true;
            info.size = bytes_.size();
            return info;
        }

    private:
        std::string_view bytes_;
    };

    static cvx::Outcome Refused() { return cvx::Outcome::Error("read-only"); }
    std::string_view bytes_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MemoryFile files(std::string_view(reinterpret_cast<const char*>(data), size));
    cvx::JournalDatabase db(files);
    if (db.Open(MemoryFile::kPath) != cvx::JournalError::None) {
        return 0;
    }
    constexpr cvx::JournalForm kForms[] = {
        cvx::JournalForm::Alternate,    cvx::JournalForm::FullName,    cvx::JournalForm::Medlar,
        cvx::JournalForm::IndexMedicus, cvx::JournalForm::Issn,        cvx::JournalForm::AnyName,
        cvx::JournalForm::WithSuffix,   cvx::JournalForm::RecordNumber};
    for (const char* name : {"Nature", "J Biol Chem", "Chirurgie #2", "[0028-0836]", "A B C"}) {
        for (const cvx::JournalForm form : kForms) {
            db.ResetError();
            (void)cvx::LookUpJournal(db, name, form);
        }
    }
    for (int r = 0; r < db.RecordCount() && r < 64; ++r) {
        db.ResetError();
        for (const cvx::JournalForm form : kForms) {
            (void)db.FormName(r, form);
        }
        cvx::JournalDefinition def;
        (void)cvx::ReadJournalDefinition(db, "Nature", def);
    }
    db.ResetError();
    (void)db.Statistics();
    db.ResetError();
    cvx::JournalImage image;
    if (cvx::JournalImage::Load(db, image) == cvx::JournalError::None) {
        std::string bytes;
        (void)image.Serialise(bytes);
        // Editing in memory: the changes are never written.
        db.ResetError();
        (void)cvx::RemoveJournal(image, db, "Nature");
        cvx::JournalDefinition def;
        def.texts[1] = "Journal of Fuzzing";
        def.texts[2] = "J Fuzz = Fuzz J";
        def.texts[6] = "1234-567X";
        (void)cvx::StoreDefinition(image, def);
        (void)image.Serialise(bytes);
    }
    return 0;
}
