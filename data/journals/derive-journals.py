#!/usr/bin/env python3
"""Derives data/journals/journals.csv, the journal list the shipped database is built from.

    data/journals/derive-journals.py SOURCE_DIR [OUTPUT]

SOURCE_DIR holds the source lists as SOURCES.md describes them (nlm/J_Medline.csv,
nlm/J_Sequence.txt and the JabRef lists in jabref/): ../shared/data/journals beside the project.
The script reads supplement.csv and sample-journals.tsv beside itself and writes journals.csv
beside itself, or OUTPUT. It is run by hand when the sources change; the build only reads
journals.csv, and a test checks that the script still derives it.

What it does, in short:
- Every journal of NLM's J_Medline list is a candidate, and so are the journals of NLM's 2019
  J_Sequence list and of the Entrez list that J_Medline lacks. A journal's full name is NLM's
  title up to a subtitle (" : ", "; ") or a parallel title ("="), without a final place or edition
  in parentheses; where chosen journals would share that name, the place or edition stays, and
  then the subtitle. Words that NLM writes in lower case get capitals (title case). NLM's whole
  title and its parallel titles become alternate names.
- Medlar is NLM's MEDLINE abbreviation. Index Medicus is the dotted ISO abbreviation of NLM's
  2019 J_Sequence list, or else the MEDLINE abbreviation with a period after every word that
  abbreviates a longer word of the title. Chemical Abstracts is the CASSI abbreviation of the
  JabRef ACS list when its title matches. BIOSIS stays empty.
- The ISSN is the print ISSN, or else the electronic one.
- Journals are taken by priority until the names reach the budget: first the journals named in
  the samples, then those of the Entrez list that also appear in the sequence, Index Medicus or
  ACS lists, then the rest of the Entrez list, then the sequence, Index Medicus and ACS lists.
- The rows of supplement.csv (journals that NLM does not list) are added as they are.
"""

import csv
import os
import re
import sys
from collections import defaultdict

NAME_BUDGET = 60000  # leaves room below the format's 65535 names for the user's own journals
MAX_ALTERNATES = 10  # a definition holds one alternate name and nine further ones

HERE = os.path.dirname(os.path.abspath(__file__))
COLUMNS = ["Full name", "Alternate names", "Medlar", "Index Medicus", "BIOSIS",
           "Chemical Abstracts", "ISSN", "Requires issue", "Lacks volume"]

# Words that stay in lower case inside a title.
MINOR_WORDS = set("""a an and as at but by for from in into of on or the to with via vs nor per
upon &  de des du la le les et en y e da do dos das der die den dem und fur zu zur del della
dei di i och og pour sur au aux""".split())

STOP_WORDS_2 = {"OF", "DE", "LA", "LE", "DI"}
STOP_WORDS_3 = {"THE", "AND", "DES", "UND"}


def normalise(name):
    """The program's normalised name of an ASCII name: folded, blanks collapsed, stop words
    that begin a word removed."""
    folded = "".join(c.upper() if c.isascii() and (c.isalnum() or c in "'-") else " "
                     for c in name)
    s = " ".join(folded.split())
    out = []
    i = 0
    while i < len(s):
        if i == 0 or s[i - 1] in " '-":
            if s[i:i + 2] in ("D'", "L'"):
                i += 3 if s[i + 2:i + 3] == " " else 2
                continue
            if s[i:i + 2] in STOP_WORDS_2 and s[i + 2:i + 3] == " ":
                i += 3
                continue
            if s[i:i + 3] in STOP_WORDS_3 and s[i + 3:i + 4] == " ":
                i += 4
                continue
        out.append(s[i])
        i += 1
    return "".join(out).strip()


def title_case(title):
    words = title.split(" ")
    out = []
    for i, w in enumerate(words):
        start = i == 0 or (out and out[-1][-1:] in ":;.=(-")
        j = len(w) - len(w.lstrip("([\"'<"))
        if j >= len(w) or not w[j].isalpha() or any(c.isupper() for c in w):
            out.append(w)
            continue
        key = w[j:].strip(".,;:()'\"").lower()
        if key in MINOR_WORDS and not start:
            out.append(w)
        elif re.match(r"^[dl]'", w[j:]):
            out.append(w[:j + 2] + w[j + 2:j + 3].upper() + w[j + 3:])
        else:
            out.append(w[:j] + w[j].upper() + w[j + 1:])
    return " ".join(out)


def split_top(text, sep):
    """Splits at `sep` outside parentheses."""
    parts, depth, start, i = [], 0, 0, 0
    while i < len(text):
        c = text[i]
        if c == "(":
            depth += 1
        elif c == ")":
            depth = max(0, depth - 1)
        elif depth == 0 and text.startswith(sep, i):
            parts.append(text[start:i])
            start = i + len(sep)
            i = start
            continue
        i += 1
    parts.append(text[start:])
    return [p.strip() for p in parts if p.strip()]


def without_qualifier(title):
    """The title without a final parenthesised place or edition."""
    m = re.match(r"^(.*\S)\s*\([^()]*\)$", title)
    return m.group(1) if m else title


def is_abbreviation_of(word, title_words):
    """True when `word` shortens a longer word of the title: its letters are, in order and
    starting with the first, letters of that word."""
    w = word.lower()
    for t in title_words:
        if len(t) > len(w) and t[0] == w[0]:
            k = 0
            for c in t:
                if k < len(w) and c == w[k]:
                    k += 1
            if k == len(w):
                return True
    return False


def dotted(medlar, title):
    title_words = [t for t in re.split(r"[^a-z]+", title.lower()) if t]
    out = []
    for token in medlar.split(" "):
        m = re.match(r"^(\(?)([A-Za-z]+)(\)?)$", token)
        if m and m.group(2).lower() not in title_words and \
                is_abbreviation_of(m.group(2), title_words):
            token = m.group(1) + m.group(2) + "." + m.group(3)
        out.append(token)
    return " ".join(out)


def join_key(title):
    """How the JabRef lists are joined to NLM's: lower case, "&" as "and", punctuation as
    blanks, no "the"."""
    t = title.lower().replace("&", " and ")
    return " ".join(w for w in re.split(r"[^a-z0-9]+", t) if w and w != "the")


def read_sequence(path):
    records, current = [], {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if line.startswith("-----"):
                if current:
                    records.append(current)
                current = {}
            elif ":" in line:
                key, value = line.split(":", 1)
                current[key.strip()] = value.strip()
    if current:
        records.append(current)
    return {r["NlmId"]: r for r in records if r.get("NlmId")}


def read_jabref(path):
    with open(path, encoding="utf-8") as f:
        return [row for row in csv.reader(f) if len(row) >= 2]



def names_of(row):
    return ({row[c] for c in COLUMNS[:6] if c != "Alternate names" and row[c]} |
            set(filter(None, row["Alternate names"].split(" = "))))


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    src = sys.argv[1]
    output = sys.argv[2] if len(sys.argv) == 3 else os.path.join(HERE, "journals.csv")
    with open(os.path.join(src, "nlm", "J_Medline.csv"), encoding="utf-8") as f:
        nlm = [r for r in csv.DictReader(f) if r["MedAbbr"].strip()]
    sequence = read_sequence(os.path.join(src, "nlm", "J_Sequence.txt"))
    entrez_rows = read_jabref(os.path.join(src, "jabref", "journal_abbreviations_entrez.csv"))
    acs = defaultdict(set)
    for title, abbreviation in read_jabref(
            os.path.join(src, "jabref", "journal_abbreviations_acs.csv")):
        acs[join_key(title)].add(abbreviation.strip())

    # The candidates: J_Medline, then the journals of J_Sequence and of the Entrez list that
    # J_Medline lacks (it lacks some major titles), each with NLM's title and abbreviation.
    candidates = []
    known = set()
    for r in nlm:
        candidates.append({"id": (0, int(r["JrId"])), "nlm": r["NlmId"],
                           "title": r["JournalTitle"].strip(), "medlar": r["MedAbbr"].strip(),
                           "issn": (r["ISSN (Print)"] or r["ISSN (Online)"]).strip()})
        known.add(r["MedAbbr"].strip())
    nlm_ids = {r["NlmId"] for r in nlm}
    for s in sequence.values():
        if s["NlmId"] not in nlm_ids and s.get("MedAbbr") and s["MedAbbr"] not in known:
            candidates.append({"id": (1, int(s["JrId"])), "nlm": s["NlmId"],
                               "title": s["JournalTitle"], "medlar": s["MedAbbr"],
                               "issn": s.get("ISSN (Print)") or s.get("ISSN (Online)", "")})
            known.add(s["MedAbbr"])
    for i, (title, abbreviation) in enumerate(entrez_rows):
        if abbreviation.strip() and abbreviation.strip() not in known:
            candidates.append({"id": (2, i), "nlm": "", "title": title.strip(),
                               "medlar": abbreviation.strip(), "issn": ""})
            known.add(abbreviation.strip())

    # The Entrez and Index Medicus lists name a journal by its MEDLINE abbreviation where that
    # is still NLM's, else by its title.
    by_abbreviation = {c["medlar"]: c["id"] for c in candidates}
    by_title = defaultdict(list)
    for c in candidates:
        by_title[join_key(c["title"])].append(c["id"])
    listed = {}
    for name in ("entrez", "medicus"):
        ids = set()
        for row in read_jabref(os.path.join(src, "jabref", f"journal_abbreviations_{name}.csv")):
            abbreviation = row[1].strip()
            if abbreviation in by_abbreviation:
                ids.add(by_abbreviation[abbreviation])
            else:
                ids.update(by_title.get(join_key(row[0]), []))
        listed[name] = ids

    with open(os.path.join(HERE, "sample-journals.tsv"), encoding="utf-8") as f:
        wanted = {line.rstrip("\n").split("\t")[1] for line in f
                  if line.strip() and not line.startswith("#")}
    with open(os.path.join(HERE, "supplement.csv"), encoding="utf-8") as f:
        supplement = list(csv.DictReader(f))

    journals = []
    for c in candidates:
        title = c["title"]
        parallel = split_top(title, "=")
        main_title = split_top(split_top(parallel[0], " : ")[0], "; ")[0]
        iso = sequence.get(c["nlm"], {}).get("IsoAbbr", "") if c["nlm"] else ""
        cassi = acs.get(join_key(title)) or acs.get(join_key(main_title)) or set()
        j = dict(c)
        j.update({
            "main_parallel": parallel[0],
            "main": main_title,
            "short": without_qualifier(main_title),
            "parallel": parallel[1:],
            "index_medicus": iso if "." in iso else dotted(c["medlar"], title),
            "cassi": next(iter(cassi)) if len(cassi) == 1 else "",
        })
        in_entrez = c["id"] in listed["entrez"]
        in_other = c["nlm"] in sequence or c["id"] in listed["medicus"] or bool(cassi)
        j["tier"] = (0 if title_case(j["short"]) in wanted or title_case(main_title) in wanted else
                     1 if in_entrez and in_other else
                     2 if in_entrez else
                     3 if in_other else 9)
        journals.append(j)

    def row_of(j, full):
        alternates = []
        for n in [title_case(j["main_parallel"])] + [title_case(p) for p in j["parallel"]]:
            if normalise(n) != normalise(full) and n not in alternates:
                alternates.append(n)
        return {
            "Full name": full,
            "Alternate names": " = ".join(alternates[:MAX_ALTERNATES]),
            "Medlar": j["medlar"],
            "Index Medicus": j["index_medicus"],
            "BIOSIS": "",
            "Chemical Abstracts": j["cassi"],
            "ISSN": j["issn"],
            "Requires issue": "",
            "Lacks volume": "",
        }

    # Journals are taken by priority. One whose name a journal of a higher priority already has
    # is left out, so that the common names stay unambiguous.
    budget = NAME_BUDGET - sum(len(names_of(s)) for s in supplement)
    taken = []
    skipped = 0
    owner = {}  # normalised name -> priority of the journal that has it
    for j in sorted((j for j in journals if j["tier"] < 9), key=lambda j: (j["tier"], j["id"])):
        keys = {normalise(n) for n in (j["short"], j["medlar"], j["index_medicus"])}
        if any(owner.get(k, j["tier"]) < j["tier"] for k in keys):
            skipped += 1
            continue
        count = len(names_of(row_of(j, title_case(j["short"]))))
        if count > budget:
            if j["tier"] == 0:
                sys.exit("the budget is too small for the sample journals")
            break
        budget -= count
        taken.append(j)
        for k in keys:
            owner.setdefault(k, j["tier"])

    # Titles that several chosen journals share keep their place or edition, or else their
    # subtitle.
    fulls = {id(j): j["short"] for j in taken}
    for longer in ("main", "title"):
        count = defaultdict(int)
        for j in taken:
            count[normalise(fulls[id(j)])] += 1
        for j in taken:
            if count[normalise(fulls[id(j)])] > 1:
                fulls[id(j)] = j[longer]
    rows = list(supplement)
    for j in taken:
        rows.append(row_of(j, title_case(fulls[id(j)])))

    # An alternate name that is another journal's own name would only make that one ambiguous.
    primary = defaultdict(set)
    for i, r in enumerate(rows):
        for c in ("Full name", "Medlar", "Index Medicus", "Chemical Abstracts"):
            if r[c]:
                primary[normalise(r[c])].add(i)
    for i, r in enumerate(rows):
        alternates = [a for a in filter(None, r["Alternate names"].split(" = "))
                      if primary.get(normalise(a), {i}) <= {i}]
        r["Alternate names"] = " = ".join(alternates)

    present = {r["Full name"] for r in rows}
    missing = sorted(wanted - present)
    if missing:
        sys.exit("sample journals missing from the list: " + "; ".join(missing))

    rows.sort(key=lambda r: (r["Full name"].lower(), r["Medlar"]))
    with open(output, "w", encoding="utf-8", newline="") as f:
        w = csv.DictWriter(f, fieldnames=COLUMNS, lineterminator="\n")
        w.writeheader()
        w.writerows(rows)
    names = sum(len(names_of(r)) for r in rows)
    tiers = defaultdict(int)
    origins = defaultdict(int)
    for j in taken:
        tiers[j["tier"]] += 1
        origins[("J_Medline", "J_Sequence", "Entrez")[j["id"][0]]] += 1
    print(f"{len(rows)} journals ({len(taken)} from NLM's lists, {len(supplement)} supplementary), "
          f"{names} names; by priority: " + ", ".join(f"{t}: {n}" for t, n in sorted(tiers.items())) +
          "; by list: " + ", ".join(f"{o}: {n}" for o, n in sorted(origins.items())) +
          f"; left out for a name taken before: {skipped}")


if __name__ == "__main__":
    main()
