#include "documents/WordListDocument.h"

#include "documents/ZipPackage.h"

#include <utility>

namespace cvx {

namespace {

constexpr std::string_view kXmlDeclaration =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";

std::string Utf8(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

// The smallest package a .docx reader accepts: content types, the package relationship and the
// main part. Times New Roman is set as the document's font, as in the other list outputs.
std::vector<std::pair<std::string, std::string>> DocxParts(const QString& paragraphs) {
    std::string types(kXmlDeclaration);
    types += "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
             "<Default Extension=\"rels\" "
             "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
             "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
             "<Override PartName=\"/word/document.xml\" ContentType=\"application/"
             "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
             "<Override PartName=\"/word/styles.xml\" ContentType=\"application/"
             "vnd.openxmlformats-officedocument.wordprocessingml.styles+xml\"/></Types>";
    std::string rels(kXmlDeclaration);
    rels += "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
            "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/"
            "2006/relationships/officeDocument\" Target=\"word/document.xml\"/></Relationships>";
    std::string documentRels(kXmlDeclaration);
    documentRels +=
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
        "relationships/styles\" Target=\"styles.xml\"/></Relationships>";
    constexpr std::string_view kWordNs =
        "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"";
    std::string styles(kXmlDeclaration);
    styles += "<w:styles ";
    styles += kWordNs;
    styles += "><w:docDefaults><w:rPrDefault><w:rPr><w:rFonts w:ascii=\"Times New Roman\" "
              "w:hAnsi=\"Times New Roman\" w:cs=\"Times New Roman\"/><w:sz w:val=\"24\"/>"
              "</w:rPr></w:rPrDefault></w:docDefaults></w:styles>";
    std::string document(kXmlDeclaration);
    document += "<w:document ";
    document += kWordNs;
    document += "><w:body>" + Utf8(paragraphs) + "<w:sectPr/></w:body></w:document>";
    return {{"[Content_Types].xml", std::move(types)},
            {"_rels/.rels", std::move(rels)},
            {"word/_rels/document.xml.rels", std::move(documentRels)},
            {"word/styles.xml", std::move(styles)},
            {"word/document.xml", std::move(document)}};
}

// An OpenDocument text: the stored mimetype first, the manifest, the styles (Times New Roman, as
// in the other list outputs; readers require the part) and the content with the automatic styles
// its spans and paragraphs use.
std::vector<std::pair<std::string, std::string>> OdtParts(const QString& paragraphs,
                                                          const QString& automaticStyles) {
    constexpr std::string_view kMime = "application/vnd.oasis.opendocument.text";
    std::string manifest(kXmlDeclaration);
    manifest += "<manifest:manifest "
                "xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\" "
                "manifest:version=\"1.2\"><manifest:file-entry manifest:full-path=\"/\" "
                "manifest:version=\"1.2\" manifest:media-type=\"";
    manifest += kMime;
    manifest += "\"/><manifest:file-entry manifest:full-path=\"content.xml\" "
                "manifest:media-type=\"text/xml\"/><manifest:file-entry "
                "manifest:full-path=\"styles.xml\" manifest:media-type=\"text/xml\"/>"
                "</manifest:manifest>";
    std::string styles(kXmlDeclaration);
    styles += "<office:document-styles "
              "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
              "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
              "xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\" "
              "office:version=\"1.2\"><office:styles><style:default-style "
              "style:family=\"paragraph\"><style:text-properties "
              "fo:font-family=\"&apos;Times New Roman&apos;\" fo:font-size=\"12pt\"/>"
              "</style:default-style></office:styles></office:document-styles>";
    std::string content(kXmlDeclaration);
    content += "<office:document-content "
               "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
               "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
               "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
               "xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\" "
               "office:version=\"1.2\"><office:automatic-styles>" +
               Utf8(automaticStyles) + "</office:automatic-styles><office:body><office:text>" +
               Utf8(paragraphs) + "</office:text></office:body></office:document-content>";
    return {{"mimetype", std::string(kMime)},
            {"META-INF/manifest.xml", std::move(manifest)},
            {"styles.xml", std::move(styles)},
            {"content.xml", std::move(content)}};
}

} // namespace

Outcome MakeWordListDocument(WordFormat format, const std::vector<std::string>& paragraphs,
                             std::string& out) {
    WordParagraphWriter writer(format,
                               format == WordFormat::Docx ? QStringLiteral("w") : QString());
    const QString body = writer.ListParagraphs(paragraphs, {});
    return CreateZip(
        format == WordFormat::Docx ? DocxParts(body) : OdtParts(body, writer.OdtStyles()), out);
}

} // namespace cvx
