#!/usr/bin/env python3
"""Writes examples/manuscript.docx and examples/manuscript.odt: the text of
examples/manuscript.rtf as word processors store it.

The .docx splits pseudo-citations over runs and spell-check marks, keeps their file parts in
hidden text as the clipboard pastes them, and carries tracked changes (a pseudo-citation inserted
where a remark was deleted). The .odt has two of its pseudo-citations in footnotes. Both are written with
fixed time stamps, so running the script again gives the same files.

Usage: tools/make-word-examples.py [examples-folder]
"""

import sys
import zipfile
from pathlib import Path
from xml.sax.saxutils import escape

TITLE = "Screening, prevention and the brain at work: a short review"

# The manuscript's paragraphs. A pseudo-citation is (hidden file part, visible label); plain text
# is a string; ("ins", c) is a pseudo-citation inserted with tracked changes, ("del", text) text
# deleted with them; ("note", [...]) a footnote (the .odt keeps it as one, the .docx inline).
PARAGRAPHS = [
    ["Breast cancer is by far the most common malignancy in women, and screening finds it "
     "earlier than ever ",
     ("refs.ref #2; ", "Wörmann, 2017"), " ", ("refs.ref #3; ", "Kolak et al., 2017"),
     ". Mortality has fallen steadily for a decade",
     ("note", [("refs.ref #4; ", "DeSantis et al., 2011")]), "."],
    ["How we listen depends on experience ", ("refs.ref #5; ", "Twomey et al., 2017"),
     ", and attention follows the rhythm of speech ",
     ("refs.ref #7/>see also ; ", "see also Wöstmann et al., 2016"),
     ". Language areas connect at rest ", ("del", "(in press) "),
     ("ins", ("refs.ref #8; ", "Ter Minassian et al., 2014")), "."],
    ["Prevention starts early, as Kolak et al. ",
     ("refs.ref #3/Year; ", "Kolak et al., 2017 <Year only>"), " point out ",
     ("refs.ref #3; ", "Kolak et al., 2017"), " ", ("refs.ref #9; ", "Chica et al., 2012"), " ",
     ("refs.ref #3; ", "Kolak et al., 2017"),
     ", and the statistics keep being updated",
     ("note", [("refs.ref #4; ", "DeSantis et al., 2011")]), "."],
]

W = "http://schemas.openxmlformats.org/wordprocessingml/2006/main"
STAMP = (2026, 1, 1, 0, 0, 0)


def write_zip(path, parts):
    with zipfile.ZipFile(path, "w") as z:
        for name, data in parts:
            info = zipfile.ZipInfo(name, STAMP)
            info.compress_type = zipfile.ZIP_STORED if name == "mimetype" else zipfile.ZIP_DEFLATED
            z.writestr(info, data.encode("utf-8"))


# --- .docx ---------------------------------------------------------------------------------

def run(text, props=""):
    rpr = f"<w:rPr>{props}</w:rPr>" if props else ""
    return f'<w:r>{rpr}<w:t xml:space="preserve">{escape(text)}</w:t></w:r>'


def docx_citation(hidden, label):
    # "{{" and the label's first word in runs of their own, a spell mark inside the label: the
    # shapes word processors leave after editing.
    first, _, rest = label.partition(" ")
    out = run("{{") + run(hidden, "<w:vanish/>")
    out += '<w:proofErr w:type="spellStart"/>' + run(first) + '<w:proofErr w:type="spellEnd"/>'
    return out + run((" " + rest if rest else "") + "}}")


def docx_item(item, ids):
    if isinstance(item, str):
        return run(item)
    kind = item[0]
    if kind == "ins":
        ids[0] += 1
        return (f'<w:ins w:id="{ids[0]}" w:author="Editor" w:date="2026-01-01T00:00:00Z">'
                + docx_citation(*item[1]) + "</w:ins>")
    if kind == "del":
        ids[0] += 1
        return (f'<w:del w:id="{ids[0]}" w:author="Editor" w:date="2026-01-01T00:00:00Z">'
                f'<w:r><w:delText xml:space="preserve">{escape(item[1])}</w:delText></w:r></w:del>')
    if kind == "note":
        return run(" ") + "".join(docx_citation(*c) for c in item[1])
    return docx_citation(*item)


def make_docx(path):
    ids = [0]
    body = f'<w:p><w:pPr><w:pStyle w:val="Title"/></w:pPr>{run(TITLE)}</w:p>'
    for paragraph in PARAGRAPHS:
        body += "<w:p>" + "".join(docx_item(i, ids) for i in paragraph) + "</w:p>"
    body += f'<w:p><w:pPr><w:pStyle w:val="Heading1"/></w:pPr>{run("References")}</w:p>'
    body += "<w:p>" + run("{{REFERENCES}}") + "</w:p>"
    body += ('<w:sectPr><w:pgSz w:w="11906" w:h="16838"/><w:pgMar w:top="1440" w:right="1440" '
             'w:bottom="1440" w:left="1440" w:header="708" w:footer="708" w:gutter="0"/></w:sectPr>')
    document = (f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<w:document xmlns:w="{W}">'
                f"<w:body>{body}</w:body></w:document>")
    styles = (f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<w:styles xmlns:w="{W}">'
              '<w:style w:type="paragraph" w:default="1" w:styleId="Normal"><w:name w:val="Normal"/>'
              '<w:pPr><w:spacing w:after="160"/></w:pPr></w:style>'
              '<w:style w:type="paragraph" w:styleId="Title"><w:name w:val="Title"/>'
              '<w:basedOn w:val="Normal"/><w:rPr><w:b/><w:sz w:val="36"/></w:rPr></w:style>'
              '<w:style w:type="paragraph" w:styleId="Heading1"><w:name w:val="heading 1"/>'
              '<w:basedOn w:val="Normal"/><w:rPr><w:b/><w:sz w:val="28"/></w:rPr></w:style>'
              "</w:styles>")
    ct = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
          '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
          '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
          '<Default Extension="xml" ContentType="application/xml"/>'
          '<Override PartName="/word/document.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"/>'
          '<Override PartName="/word/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml"/>'
          "</Types>")
    rels = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
            '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
            '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="word/document.xml"/>'
            "</Relationships>")
    doc_rels = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
                '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
                '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>'
                "</Relationships>")
    write_zip(path, [("[Content_Types].xml", ct), ("_rels/.rels", rels),
                     ("word/document.xml", document), ("word/_rels/document.xml.rels", doc_rels),
                     ("word/styles.xml", styles)])


# --- .odt ----------------------------------------------------------------------------------

def odt_citation(hidden, label):
    return escape("{{" + hidden + label + "}}")


def odt_item(item, notes):
    if isinstance(item, str):
        return escape(item)
    kind = item[0]
    if kind == "ins":
        return odt_citation(*item[1])
    if kind == "del":
        return ""
    if kind == "note":
        notes[0] += 1
        body = "".join(odt_citation(*c) for c in item[1])
        return (f'<text:note text:id="ftn{notes[0]}" text:note-class="footnote">'
                f"<text:note-citation>{notes[0]}</text:note-citation><text:note-body>"
                f'<text:p text:style-name="Footnote">{body}</text:p></text:note-body></text:note>')
    return odt_citation(*item)


def make_odt(path):
    notes = [0]
    body = f'<text:h text:style-name="Title" text:outline-level="1">{escape(TITLE)}</text:h>'
    for paragraph in PARAGRAPHS:
        body += ('<text:p text:style-name="Standard">'
                 + "".join(odt_item(i, notes) for i in paragraph) + "</text:p>")
    body += '<text:h text:style-name="Heading_20_1" text:outline-level="1">References</text:h>'
    body += '<text:p text:style-name="Standard">{{REFERENCES}}</text:p>'
    ns = ('xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
          'xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" '
          'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" '
          'xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"')
    content = (f'<?xml version="1.0" encoding="UTF-8"?>\n<office:document-content {ns} '
               'office:version="1.3"><office:automatic-styles/><office:body><office:text>'
               f"{body}</office:text></office:body></office:document-content>")
    styles = (f'<?xml version="1.0" encoding="UTF-8"?>\n<office:document-styles {ns} '
              'office:version="1.3"><office:styles>'
              '<style:style style:name="Standard" style:family="paragraph"/>'
              '<style:style style:name="Footnote" style:family="paragraph" '
              'style:parent-style-name="Standard"><style:text-properties fo:font-size="10pt"/>'
              "</style:style>"
              '<style:style style:name="Title" style:family="paragraph" '
              'style:parent-style-name="Standard"><style:text-properties fo:font-size="18pt" '
              'fo:font-weight="bold"/></style:style>'
              '<style:style style:name="Heading_20_1" style:display-name="Heading 1" '
              'style:family="paragraph" style:parent-style-name="Standard">'
              '<style:text-properties fo:font-size="14pt" fo:font-weight="bold"/></style:style>'
              "</office:styles></office:document-styles>")
    manifest = ('<?xml version="1.0" encoding="UTF-8"?>\n'
                '<manifest:manifest xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0" '
                'manifest:version="1.3">'
                '<manifest:file-entry manifest:full-path="/" manifest:version="1.3" '
                'manifest:media-type="application/vnd.oasis.opendocument.text"/>'
                '<manifest:file-entry manifest:full-path="content.xml" manifest:media-type="text/xml"/>'
                '<manifest:file-entry manifest:full-path="styles.xml" manifest:media-type="text/xml"/>'
                "</manifest:manifest>")
    write_zip(path, [("mimetype", "application/vnd.oasis.opendocument.text"),
                     ("content.xml", content), ("styles.xml", styles),
                     ("META-INF/manifest.xml", manifest)])


def main():
    folder = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / "examples"
    make_docx(folder / "manuscript.docx")
    make_odt(folder / "manuscript.odt")


if __name__ == "__main__":
    main()
