#pragma once
// Small word-processor documents built in memory for the tests: a .docx of a body (and footnotes)
// and an .odt of a text body, each with only the parts a reader needs.

#include "documents/ZipPackage.h"

#include <gtest/gtest.h>

#include <string>

namespace cvx::test {

inline std::string Docx(const std::string& body, const std::string& footnotes = {}) {
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
             "</Types>"},
        {"_rels/.rels",
         R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
         R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="word/document.xml"/></Relationships>)"},
        {"word/document.xml",
         R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?><w:document)" + ns +
             "><w:body>" + body + "</w:body></w:document>"},
    };
    if (!footnotes.empty()) {
        parts.emplace_back(
            "word/_rels/document.xml.rels",
            R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
            R"(<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/footnotes" Target="footnotes.xml"/></Relationships>)");
        parts.emplace_back("word/footnotes.xml",
                           R"(<?xml version="1.0" encoding="UTF-8"?><w:footnotes)" + ns + ">" +
                               footnotes + "</w:footnotes>");
    }
    std::string out;
    EXPECT_TRUE(CreateZip(parts, out).ok());
    return out;
}

inline std::string Odt(const std::string& text) {
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
              R"( office:version="1.2"><office:automatic-styles/><office:body><office:text>)" +
                  text + "</office:text></office:body></office:document-content>"}},
            out)
            .ok());
    return out;
}

} // namespace cvx::test
