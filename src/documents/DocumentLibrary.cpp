#include "documents/DocumentLibrary.h"

#include "storage/LittleEndian.h"
#include "text/CaseMapping.h"
#include "text/Catalogue.h"
#include "text/FileNames.h"

namespace cvx {

namespace {

// Every code of an entry in file order, for reading and writing alike.
template <typename Definition, typename Visit> void ForEachCode(Definition& d, Visit visit) {
    for (int s = 0; s < kStyleCodeCount; ++s) {
        visit(d.styleOn[static_cast<std::size_t>(s)]);
        visit(d.styleOff[static_cast<std::size_t>(s)]);
    }
    visit(d.greek);
    visit(d.lineBreak);
    visit(d.tab);
    visit(d.outdent);
    for (auto& c : d.characters) {
        visit(c);
    }
}

// A length-prefixed string padded to `field` bytes.
void PutField(std::string& out, std::string_view text, std::size_t field) {
    out.push_back(static_cast<char>(text.size()));
    out.append(text);
    out.append(field - 1 - text.size(), '\0');
}

class Reader {
public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}

    bool Seek(std::size_t pos) {
        pos_ = pos;
        return pos_ <= bytes_.size();
    }
    // A length-prefixed string whose length byte may not exceed `maxLength`.
    bool String(std::string& out, std::size_t maxLength = kMaxDocumentCode) {
        if (pos_ >= bytes_.size()) {
            return false;
        }
        const std::size_t n = static_cast<unsigned char>(bytes_[pos_]);
        if (n > maxLength || bytes_.size() - pos_ - 1 < n) {
            return false;
        }
        out.assign(bytes_.substr(pos_ + 1, n));
        pos_ += 1 + n;
        return true;
    }

private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
};

bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

constexpr std::string_view kLatexName = "LaTex"; // as the document page offers it

// True when the word "WORD" stands in the upper-cased name on its own, as in "MICROSOFT WORD
// 97", and not as the start of "WORDPERFECT" or "WORDSTAR".
bool NamesWordFormat(std::string_view upper) {
    auto isLetter = [](char c) { return c >= 'A' && c <= 'Z'; };
    for (std::size_t at = upper.find("WORD"); at != std::string_view::npos;
         at = upper.find("WORD", at + 1)) {
        const bool before = at > 0 && isLetter(upper[at - 1]);
        const bool after = at + 4 < upper.size() && isLetter(upper[at + 4]);
        if (!before && !after) {
            return true;
        }
    }
    return false;
}

} // namespace

DocumentKind KindOfDefinition(std::string_view name) {
    if (Contains(name, "RTF")) {
        return DocumentKind::Rtf;
    }
    if (Contains(name, "WordPerfect")) {
        if (Contains(name, "6") || Contains(name, "7") || Contains(name, "8")) {
            return DocumentKind::WordPerfect6;
        }
        if (Contains(name, "5.")) {
            return DocumentKind::WordPerfect5;
        }
    }
    return DocumentKind::Plain;
}

Outcome EncodeDocumentLibrary(const std::vector<TDocumentDefinition>& definitions,
                              std::string& bytes) {
    std::string out;
    PutLe32(out, kDocumentLibraryMagic);
    PutLe16(out, static_cast<std::uint16_t>(definitions.size()));
    const std::size_t tableAt = out.size();
    out.append(4 * definitions.size(), '\0');
    for (std::size_t i = 0; i < definitions.size(); ++i) {
        const TDocumentDefinition& d = definitions[i];
        bool fits =
            d.name.size() < kDocumentNameField && d.extension.size() < kDocumentExtensionField;
        ForEachCode(
            d, [&](const std::string& code) { fits = fits && code.size() <= kMaxDocumentCode; });
        if (!fits) {
            return Outcome::Error(Msg(msg::Documents::DefinitionTooLong, d.name));
        }
        std::string offset;
        PutLe32(offset, static_cast<std::uint32_t>(out.size()));
        out.replace(tableAt + 4 * i, 4, offset);
        PutField(out, d.name, kDocumentNameField);
        PutField(out, d.extension, kDocumentExtensionField);
        ForEachCode(d, [&](const std::string& code) {
            out.push_back(static_cast<char>(code.size()));
            out.append(code);
        });
    }
    bytes = std::move(out);
    return Outcome::Ok();
}

Outcome DecodeDocumentLibrary(std::string_view bytes,
                              std::vector<TDocumentDefinition>& definitions) {
    Outcome ruined = Outcome::Error(Msg(msg::CreateFormDocs::LibraryRuined));
    if (bytes.size() < 6 || GetLe32(bytes, 0) != kDocumentLibraryMagic) {
        return ruined;
    }
    const std::size_t count = GetLe16(bytes, 4);
    if (bytes.size() < 6 + 4 * count) {
        return ruined;
    }
    std::vector<TDocumentDefinition> read(count);
    Reader reader(bytes);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = GetLe32(bytes, 6 + 4 * i);
        TDocumentDefinition& d = read[i];
        bool ok = reader.Seek(at) && reader.String(d.name, kDocumentNameField - 1) &&
                  reader.Seek(at + kDocumentNameField) &&
                  reader.String(d.extension, kDocumentExtensionField - 1) &&
                  reader.Seek(at + kDocumentCodesOffset);
        ForEachCode(d, [&](std::string& code) { ok = ok && reader.String(code); });
        if (!ok) {
            return ruined;
        }
    }
    definitions = std::move(read);
    return Outcome::Ok();
}

Outcome TDocumentLibrary::Load(const std::string& path, FileSystem& fs) {
    std::string bytes;
    if (!ReadWholeFile(fs, path, bytes)) {
        return Outcome::Error(Msg(msg::CreateFormDocs::UnableToLocate, DisplayPath(path)));
    }
    std::vector<TDocumentDefinition> read;
    if (Outcome r = DecodeDocumentLibrary(bytes, read); !r) {
        return r;
    }
    definitions_ = std::move(read);
    return Outcome::Ok();
}

int TDocumentLibrary::FormatIndex(std::string_view name) const {
    const std::string upper = UpperText(name);
    if (Contains(upper, "LATEX")) {
        return kLatexDocument;
    }
    for (int i = 0; i < Count(); ++i) {
        if (UpperText(definitions_[static_cast<std::size_t>(i)].name) == upper) {
            return i;
        }
    }
    return NamesWordFormat(upper) ? kWordAutomation : kUnknownDocumentFormat;
}

std::string TDocumentLibrary::FormatNames() const {
    std::string names;
    for (const TDocumentDefinition& d : definitions_) {
        names += d.name + ", ";
    }
    return names + std::string(kLatexName);
}

} // namespace cvx
