#include "documents/ZipPackage.h"

#include "text/Catalogue.h"

#include <zip.h>

namespace cvx {

namespace {

// libzip's own description of an error code, for the message that says the container is damaged.
std::string ZipErrorText(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

struct SourceDeleter {
    void operator()(zip_source_t* s) const { zip_source_free(s); }
};
using SourcePtr = std::unique_ptr<zip_source_t, SourceDeleter>;

struct FileDeleter {
    void operator()(zip_file_t* f) const { zip_fclose(f); }
};

// Reads a source that libzip has finished writing into one string.
bool ReadWholeSource(zip_source_t* source, std::string& out) {
    zip_stat_t st;
    if (zip_source_stat(source, &st) != 0 || (st.valid & ZIP_STAT_SIZE) == 0 ||
        zip_source_open(source) != 0) {
        return false;
    }
    out.resize(st.size);
    const zip_int64_t got = zip_source_read(source, out.data(), st.size);
    zip_source_close(source);
    return got == static_cast<zip_int64_t>(st.size);
}

} // namespace

struct ZipPackage::Archive {
    zip_t* zip = nullptr;
    ~Archive() {
        if (zip != nullptr) {
            zip_discard(zip);
        }
    }
};

ZipPackage::ZipPackage() = default;
ZipPackage::~ZipPackage() = default;

Outcome ZipPackage::Open(std::string bytes, const std::string& shown) {
    bytes_ = std::move(bytes);
    shown_ = shown;
    archive_ = std::make_unique<Archive>();
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes_.data(), bytes_.size(), 0, &error);
    if (source == nullptr) {
        zip_error_fini(&error);
        return Outcome::Error(
            Msg(msg::Documents::DamagedPackage, shown_, ZipErrorText(ZIP_ER_MEMORY)));
    }
    archive_->zip = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (archive_->zip == nullptr) {
        const int code = zip_error_code_zip(&error);
        zip_source_free(source);
        zip_error_fini(&error);
        return Outcome::Error(Msg(msg::Documents::DamagedPackage, shown_, ZipErrorText(code)));
    }
    zip_error_fini(&error);
    return Outcome::Ok();
}

bool ZipPackage::Has(const std::string& part) const {
    return archive_ && archive_->zip != nullptr &&
           zip_name_locate(archive_->zip, part.c_str(), 0) >= 0;
}

Outcome ZipPackage::Read(const std::string& part, std::string& out, std::size_t limit) {
    out.clear();
    const zip_int64_t index = archive_ ? zip_name_locate(archive_->zip, part.c_str(), 0) : -1;
    if (index < 0) {
        return Outcome::Error(Msg(msg::Documents::PartMissing, shown_, part, "zip"));
    }
    const auto i = static_cast<zip_uint64_t>(index);
    zip_stat_t st;
    if (zip_stat_index(archive_->zip, i, 0, &st) == 0 &&
        (st.valid & ZIP_STAT_ENCRYPTION_METHOD) != 0 && st.encryption_method != ZIP_EM_NONE) {
        return Outcome::Error(Msg(msg::Documents::DocumentEncrypted, shown_));
    }
    const std::unique_ptr<zip_file_t, FileDeleter> file(zip_fopen_index(archive_->zip, i, 0));
    if (!file) {
        return Outcome::Error(
            Msg(msg::Documents::DamagedPackage, shown_, zip_strerror(archive_->zip)));
    }
    // The sizes in the directory are the writer's word; the bound holds for what actually comes.
    char buffer[1 << 16];
    for (;;) {
        const zip_int64_t got = zip_fread(file.get(), buffer, sizeof buffer);
        if (got < 0) {
            return Outcome::Error(
                Msg(msg::Documents::DamagedPackage, shown_, zip_file_strerror(file.get())));
        }
        if (got == 0) {
            break;
        }
        expanded_ += static_cast<std::size_t>(got);
        if (expanded_ > limit) {
            out.clear();
            return Outcome::Error(
                Msg(msg::Documents::PackageTooLarge, shown_, std::to_string(limit >> 20)));
        }
        out.append(buffer, static_cast<std::size_t>(got));
    }
    return Outcome::Ok();
}

namespace {

// A new container in memory, its parts added by `fill`; `why` names what failed.
template <typename Fill> Outcome NewArchive(Fill fill, std::string& out, std::string& why) {
    zip_error_t error;
    zip_error_init(&error);
    SourcePtr target(zip_source_buffer_create(nullptr, 0, 0, &error));
    if (!target) {
        why = ZipErrorText(ZIP_ER_MEMORY);
        zip_error_fini(&error);
        return Outcome::Error(why);
    }
    zip_source_keep(target.get());
    zip_t* zip = zip_open_from_source(target.get(), ZIP_TRUNCATE, &error);
    if (zip == nullptr) {
        zip_source_free(target.get()); // the reference zip_open_from_source did not take
        why = ZipErrorText(zip_error_code_zip(&error));
        zip_error_fini(&error);
        return Outcome::Error(why);
    }
    zip_error_fini(&error);
    if (!fill(zip, why)) {
        zip_discard(zip);
        return Outcome::Error(why);
    }
    if (zip_close(zip) != 0) {
        why = zip_strerror(zip);
        zip_discard(zip);
        return Outcome::Error(why);
    }
    if (!ReadWholeSource(target.get(), out)) {
        why = ZipErrorText(ZIP_ER_READ);
        return Outcome::Error(why);
    }
    return Outcome::Ok();
}

// Adds one part; a part named "mimetype" is stored, as OpenDocument readers expect of it.
bool AddPart(zip_t* zip, const std::string& name, zip_source_t* source, std::string& why) {
    const zip_int64_t index =
        source == nullptr ? -1 : zip_file_add(zip, name.c_str(), source, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        why = zip_strerror(zip);
        if (source != nullptr) {
            zip_source_free(source);
        }
        return false;
    }
    if (name == "mimetype") {
        zip_set_file_compression(zip, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
    }
    return true;
}

} // namespace

Outcome ZipPackage::Write(const std::map<std::string, std::string>& replaced,
                          std::string& out) const {
    std::string why;
    const auto fill = [&](zip_t* zip, std::string& failure) {
        const zip_int64_t count = zip_get_num_entries(archive_->zip, 0);
        for (zip_int64_t k = 0; k < count; ++k) {
            const auto i = static_cast<zip_uint64_t>(k);
            const char* name = zip_get_name(archive_->zip, i, 0);
            if (name == nullptr) {
                failure = zip_strerror(archive_->zip);
                return false;
            }
            const auto it = replaced.find(name);
            zip_source_t* source =
                it != replaced.end()
                    ? zip_source_buffer(zip, it->second.data(), it->second.size(), 0)
                    : zip_source_zip(zip, archive_->zip, i, 0, 0, -1);
            if (!AddPart(zip, name, source, failure)) {
                return false;
            }
        }
        return true;
    };
    if (Outcome r = NewArchive(fill, out, why); !r) {
        return Outcome::Error(Msg(msg::Documents::DamagedPackage, shown_, why));
    }
    return Outcome::Ok();
}

Outcome CreateZip(const std::vector<std::pair<std::string, std::string>>& parts, std::string& out) {
    std::string why;
    const auto fill = [&](zip_t* zip, std::string& failure) {
        for (const auto& [name, bytes] : parts) {
            if (!AddPart(zip, name, zip_source_buffer(zip, bytes.data(), bytes.size(), 0),
                         failure)) {
                return false;
            }
        }
        return true;
    };
    return NewArchive(fill, out, why);
}

} // namespace cvx
