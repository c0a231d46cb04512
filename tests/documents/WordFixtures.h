#pragma once
// Small word-processor documents built in memory for the tests: a .docx of a body (and footnotes
// and endnotes), an .odt of a text body (and automatic styles), each with only the parts a reader
// needs, and compound files of the streams given.

#include "documents/ZipPackage.h"

#include <gtest/gtest.h>

#include "storage/LittleEndian.h"

#include <string>
#include <utility>
#include <vector>

namespace cvx::test {

inline std::string Docx(const std::string& body, const std::string& footnotes = {},
                        const std::string& endnotes = {}) {
    const std::string ns =
        R"( xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main")"
        R"( xmlns:mc="http://schemas.openxmlformats.org/markup-compatibility/2006")";
    std::vector<std::pair<std::string, std::string>> parts = {
        {"[Content_Types].xml",
         R"(<?xml version="1.0" encoding="UTF-8"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
         R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
         R"(<Default Extension="xml" ContentType="application/xml"/>)"
         R"(<Override PartName="/word/document.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"/>)" +
             std::string(
                 footnotes.empty()
                     ? ""
                     : R"(<Override PartName="/word/footnotes.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.footnotes+xml"/>)") +
             std::string(
                 endnotes.empty()
                     ? ""
                     : R"(<Override PartName="/word/endnotes.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.endnotes+xml"/>)") +
             "</Types>"},
        {"_rels/.rels",
         R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
         R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="word/document.xml"/></Relationships>)"},
        {"word/document.xml",
         R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?><w:document)" + ns +
             "><w:body>" + body + "</w:body></w:document>"},
    };
    std::string relationships;
    if (!footnotes.empty()) {
        relationships +=
            R"(<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/footnotes" Target="footnotes.xml"/>)";
        parts.emplace_back("word/footnotes.xml",
                           R"(<?xml version="1.0" encoding="UTF-8"?><w:footnotes)" + ns + ">" +
                               footnotes + "</w:footnotes>");
    }
    if (!endnotes.empty()) {
        relationships +=
            R"(<Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/endnotes" Target="endnotes.xml"/>)";
        parts.emplace_back("word/endnotes.xml",
                           R"(<?xml version="1.0" encoding="UTF-8"?><w:endnotes)" + ns + ">" +
                               endnotes + "</w:endnotes>");
    }
    if (!relationships.empty()) {
        parts.emplace_back(
            "word/_rels/document.xml.rels",
            R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)" +
                relationships + "</Relationships>");
    }
    std::string out;
    EXPECT_TRUE(CreateZip(parts, out).ok());
    return out;
}

inline std::string Odt(const std::string& text, const std::string& automaticStyles = {}) {
    std::string out;
    EXPECT_TRUE(
        CreateZip(
            {{"mimetype", "application/vnd.oasis.opendocument.text"},
             {"META-INF/manifest.xml",
              R"(<?xml version="1.0" encoding="UTF-8"?><manifest:manifest xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0" manifest:version="1.2">)"
              R"(<manifest:file-entry manifest:full-path="/" manifest:media-type="application/vnd.oasis.opendocument.text"/>)"
              R"(<manifest:file-entry manifest:full-path="content.xml" manifest:media-type="text/xml"/></manifest:manifest>)"},
             {"content.xml",
              R"(<?xml version="1.0" encoding="UTF-8"?><office:document-content)"
              R"( xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0")"
              R"( xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0")"
              R"( xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0")"
              R"( xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0")"
              R"( office:version="1.2">)" +
                  (automaticStyles.empty() ? std::string("<office:automatic-styles/>")
                                           : "<office:automatic-styles>" + automaticStyles +
                                                 "</office:automatic-styles>") +
                  "<office:body><office:text>" + text +
                  "</office:text></office:body></office:document-content>"}},
            out)
            .ok());
    return out;
}

// A compound file of 512-byte sectors holding `streams` (ASCII names): the allocation table in
// sector 0, the directory after it, then the streams, those under 4096 bytes in the mini stream.
inline std::string CompoundFile(const std::vector<std::pair<std::string, std::string>>& streams) {
    constexpr std::uint32_t kEnd = 0xFFFFFFFE;
    constexpr std::size_t kSector = 512;
    std::vector<std::uint32_t> fat = {0xFFFFFFFD}; // sector 0 holds the table
    const auto chain = [&](std::size_t sectors) {
        const auto first = static_cast<std::uint32_t>(fat.size());
        for (std::size_t i = 0; i < sectors; ++i) {
            fat.push_back(i + 1 < sectors ? static_cast<std::uint32_t>(fat.size() + 1) : kEnd);
        }
        return sectors == 0 ? kEnd : first;
    };
    const std::size_t directorySectors = (streams.size() + 1 + 3) / 4;
    const std::uint32_t directory = chain(directorySectors);
    std::string mini;
    std::vector<std::pair<std::uint32_t, std::string>> placed; // start, bytes of big streams
    std::vector<std::uint32_t> starts;
    for (const auto& [name, data] : streams) {
        if (data.size() < 4096) {
            starts.push_back(static_cast<std::uint32_t>(mini.size() / 64));
            mini += data;
            mini.resize((mini.size() + 63) / 64 * 64, '\0');
        } else {
            starts.push_back(0);
        }
    }
    const std::uint32_t miniStart = chain((mini.size() + kSector - 1) / kSector);
    for (std::size_t i = 0; i < streams.size(); ++i) {
        if (streams[i].second.size() >= 4096) {
            starts[i] = chain((streams[i].second.size() + kSector - 1) / kSector);
        }
    }
    std::string file(kSector * (fat.size() + 1), '\0');
    const auto at = [&](std::uint32_t sector) { return (std::size_t{sector} + 1) * kSector; };
    const auto put32 = [&](std::size_t offset, std::uint32_t v) { StoreLe32(&file[offset], v); };
    const auto put16 = [&](std::size_t offset, std::uint16_t v) { StoreLe16(&file[offset], v); };
    file.replace(0, 8, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
    put16(0x18, 0x3E);
    put16(0x1A, 3);
    put16(0x1C, 0xFFFE);
    put16(0x1E, 9);
    put16(0x20, 6);
    put32(0x2C, 1);
    put32(0x30, directory);
    put32(0x38, 4096);
    put32(0x3C, kEnd); // the mini stream's own table is not needed by what reads these
    put32(0x44, kEnd);
    for (std::size_t i = 0; i < 109; ++i) {
        put32(0x4C + 4 * i, i == 0 ? 0 : 0xFFFFFFFF);
    }
    for (std::size_t i = 0; i < kSector / 4; ++i) {
        put32(at(0) + 4 * i, i < fat.size() ? fat[i] : 0xFFFFFFFF);
    }
    const auto entry = [&](std::size_t index, const std::string& name, int type,
                           std::uint32_t start, std::size_t size) {
        const std::size_t e = at(directory) + index * 128;
        for (std::size_t i = 0; i < name.size(); ++i) {
            put16(e + 2 * i, static_cast<unsigned char>(name[i]));
        }
        put16(e + 0x40, static_cast<std::uint16_t>(2 * name.size() + 2));
        file[e + 0x42] = static_cast<char>(type);
        put32(e + 0x44, 0xFFFFFFFF);
        put32(e + 0x48,
              index < streams.size() ? static_cast<std::uint32_t>(index + 1) : 0xFFFFFFFF);
        put32(e + 0x4C, type == 5 && !streams.empty() ? 1 : 0xFFFFFFFF);
        put32(e + 0x74, start);
        put32(e + 0x78, static_cast<std::uint32_t>(size));
    };
    entry(0, "Root Entry", 5, miniStart, mini.size());
    if (!streams.empty()) {
        put32(at(directory) + 0x48, 0xFFFFFFFF); // the root has a child, no siblings
    }
    for (std::size_t i = 0; i < streams.size(); ++i) {
        entry(i + 1, streams[i].first, 2, starts[i], streams[i].second.size());
        const std::string& data = streams[i].second;
        if (data.size() < 4096) {
            continue;
        }
        for (std::size_t k = 0, s = starts[i]; k < data.size(); k += kSector, ++s) {
            file.replace(at(static_cast<std::uint32_t>(s)), std::min(kSector, data.size() - k),
                         data, k, kSector);
        }
    }
    for (std::size_t k = 0, s = miniStart; k < mini.size(); k += kSector, ++s) {
        file.replace(at(static_cast<std::uint32_t>(s)), std::min(kSector, mini.size() - k), mini, k,
                     kSector);
    }
    return file;
}

// The start of a Word 97 WordDocument stream: its file information block's identifier, version
// and flags (0x0100: encrypted), padded to `size` bytes.
inline std::string WordDocumentStream(bool encrypted, std::size_t size = 4096) {
    std::string stream(size, '\0');
    StoreLe16(&stream[0], 0xA5EC);
    StoreLe16(&stream[2], 0x00C1);
    StoreLe16(&stream[0x0A], encrypted ? 0x0100 : 0x0000);
    return stream;
}

} // namespace cvx::test
