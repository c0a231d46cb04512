#!/usr/bin/env python3
"""Writes refs.csl.json: the references of examples/refs.ref and of peer-extra.ref (two invented
papers that share authors and year with one of refs.ref) as CSL JSON, the input of the comparison
with the CSL processor (tests/documents/StylePeerTest.cpp).

This is our own stand-in for a CSL JSON export of a reference file: it reads the reference-file
layout (code page 1252, CR LF, one blank at the start of every field line), takes the fields as
the renderer takes them and maps them to CSL variables. Journal names go in as the journal list's
complete name (container-title) and its MEDLINE form (container-title-short, left out when the
journal has none), the forms our styles ask the database for. Pages, volumes and years go in as stored ("409-18" stays so).
Comments, addresses and translated titles have no CSL variable and are left out.

Run it from the repository's root after one of the reference files or the journal list changes:
    python3 tests/data/formats/refs-to-csl-json.py
"""

import csv
import json
import pathlib
import re

ROOT = pathlib.Path(__file__).resolve().parents[3]
SOURCES = [ROOT / "examples" / "refs.ref", pathlib.Path(__file__).resolve().parent / "peer-extra.ref"]
JOURNALS = ROOT / "data" / "journals" / "journals.csv"
OUT = pathlib.Path(__file__).resolve().parent / "refs.csl.json"


def field_lines(block):
    """The field lines of one reference: soft wraps joined, the leading blank removed."""
    text = re.sub(r"\r\n(?! )", " ", block)
    return [line.strip() for line in text.split("\r\n ")]


def unquote(text):
    text = text.strip()
    if text in ('""', '"".'):
        return ""
    if len(text) >= 2 and text[0] == '"' and text[-1] == '"':
        return text[1:-1]
    return text


def drop_final_stop(text):
    return text[:-1] if text.endswith(".") else text


def names(text):
    """'Smith, J A. "Some Consortium". Brown, K.' as CSL names."""
    result = []
    for name in re.findall(r'"[^"]*"|[^.]+', unquote(text)):
        name = name.strip()
        if not name:
            continue
        if name.startswith('"'):
            result.append({"literal": name.strip('"')})
        elif ", " in name:
            family, given = name.split(", ", 1)
            initials = " ".join(part + "." if len(part) == 1 else part for part in given.split())
            result.append({"family": family, "given": initials})
        else:
            result.append({"literal": name})
    return result


def journal_key(name):
    """A journal name for matching: lower case, without a leading "the", punctuation and "&"."""
    name = re.sub(r"^the ", "", name.lower().replace("&", "and"))
    return " ".join(re.sub(r"[^\w ]", " ", name).split())


def journal_forms():
    """Every form of a journal name (as a key) -> (complete name, MEDLINE form or None)."""
    forms = {}
    with open(JOURNALS, encoding="utf-8") as f:
        for row in csv.DictReader(f):
            full, medlar = row["Full name"], row["Medlar"] or None
            for name in (full, row["Medlar"], row["Index Medicus"]):
                if name:
                    forms.setdefault(journal_key(name), (full, medlar))
    return forms


def year_line(line, item):
    year, _, rest = line.partition(" ")
    digits = re.match(r"\d{4}", year)
    if digits:
        item["issued"] = {"date-parts": [[int(digits.group(0))]]}
    inner = re.match(r"\s*\((.*)\)", rest)
    if inner and not rest.strip().startswith("pp "):
        volume = inner.group(1)
        issue = re.search(r"\((.*)\)", volume)
        if issue:
            item["issue"] = issue.group(1).strip()
            volume = volume[: volume.index("(")]
        if volume.strip():
            item["volume"] = volume.strip()
    pages = rest.partition("pp ")[2].strip()
    if pages:
        item["page"] = pages


def publisher_line(line, item):
    publisher, _, city = line.partition("(")
    item["publisher"] = publisher.strip()
    if city:
        item["publisher-place"] = city.rstrip(")").strip()


def convert(block, forms):
    lines = field_lines(block)
    item = {"id": lines[0].split()[0]}
    source = lines[4]
    if source.startswith("E: "):
        item["type"] = "chapter"
    elif source.startswith("S: "):
        item["type"] = "book"
    else:
        item["type"] = "article-journal"
    authors = names(lines[1])
    if authors:
        item["author"] = authors
    title = unquote(drop_final_stop(lines[2]))
    year_line(lines[3], item)
    if item["type"] == "article-journal":
        item["title"] = title
        full, medlar = forms.get(journal_key(source), (source, None))
        item["container-title"] = full
        if medlar:
            item["container-title-short"] = medlar
    elif item["type"] == "chapter":
        item["title"] = title
        item["container-title"] = drop_final_stop(source[3:].strip())
        item["editor"] = names(lines[5])
        publisher_line(lines[6], item)
    else:
        item["title"] = drop_final_stop(source[3:].strip())
        publisher_line(lines[5], item)
    return item


def main():
    blocks = []
    for source in SOURCES:
        text = source.read_bytes().decode("cp1252")
        blocks += [b for b in text.split("\r\n\r\n") if b.strip()]
    forms = journal_forms()
    items = [convert(block, forms) for block in blocks]
    lines = ",\n".join(json.dumps(item, ensure_ascii=False) for item in items)
    OUT.write_text("[\n" + lines + "\n]\n", encoding="utf-8")
    print(f"Wrote {len(items)} references to {OUT.relative_to(ROOT)}")


if __name__ == "__main__":
    main()
