#include "journals/JournalBuilder.h"

#include "journals/JournalNames.h"
#include "text/Cp1252.h"

#include <algorithm>

namespace cvx {

JournalBuildProblem BuildJournalImage(const std::vector<JournalDefinition>& journals,
                                      const JournalBuildOptions& options, JournalImage& image) {
    struct Item {
        JournalRecord record;
        std::string normalised;
        std::size_t journal;
    };
    std::vector<Item> items;
    for (std::size_t j = 0; j < journals.size(); ++j) {
        std::vector<JournalRecord> records;
        if (const JournalError e = DefinitionRecords(journals[j], false, records);
            e != JournalError::None) {
            return {e, j, 0, 0};
        }
        for (JournalRecord& r : records) {
            std::string normalised = NormaliseJournalName(r.name);
            items.push_back({std::move(r), std::move(normalised), j});
        }
    }
    if (items.size() > static_cast<std::size_t>(kJournalMaxRecords)) {
        return {JournalError::Malformed, 0, static_cast<long>(items.size()), 0};
    }
    std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) {
        return a.record.signature != b.record.signature ? a.record.signature < b.record.signature
                                                        : a.normalised < b.normalised;
    });

    // Each journal's ring runs through its records in file order.
    std::vector<int> firstOf(journals.size(), -1);
    std::vector<int> lastOf(journals.size(), -1);
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::size_t j = items[i].journal;
        const int here = static_cast<int>(i);
        if (firstOf[j] < 0) {
            firstOf[j] = here;
        } else {
            items[static_cast<std::size_t>(lastOf[j])].record.next = here;
        }
        lastOf[j] = here;
        items[i].record.next = firstOf[j];
    }

    std::vector<int> starts{0};
    std::size_t size = 0;
    int count = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::size_t add = items[i].record.Size();
        if (count > 0 && (count >= options.blockRecords || size + add > options.blockBytes)) {
            starts.push_back(static_cast<int>(i));
            size = 0;
            count = 0;
        }
        size += add;
        ++count;
    }
    if (starts.size() > static_cast<std::size_t>(kJournalMaxBlocks)) {
        return {JournalError::Malformed, 0, static_cast<long>(items.size()),
                static_cast<long>(starts.size())};
    }
    std::vector<JournalRecord>& records = image.Records();
    records.clear();
    records.reserve(items.size());
    for (Item& item : items) {
        records.push_back(std::move(item.record));
    }
    image.SetBlockStarts(std::move(starts));
    return {};
}

namespace {

// Splits CSV text into rows of fields; false at a quoting fault, with `line` at its row.
bool SplitCsv(std::string_view text, std::vector<std::vector<std::string>>& rows,
              std::vector<std::size_t>& lines, std::size_t& line) {
    std::vector<std::string> row;
    std::string field;
    line = 1;
    std::size_t rowLine = 1;
    std::size_t i = 0;
    auto endRow = [&] {
        row.push_back(std::move(field));
        field.clear();
        if (!(row.size() == 1 && row[0].empty())) {
            rows.push_back(std::move(row));
            lines.push_back(rowLine);
        }
        row.clear();
    };
    while (i < text.size()) {
        if (text[i] == '"' && field.empty()) {
            ++i;
            while (true) {
                if (i >= text.size()) {
                    line = rowLine;
                    return false;
                }
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        field.push_back('"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                if (text[i] == '\n') {
                    ++line;
                }
                field.push_back(text[i++]);
            }
            if (i < text.size() && text[i] != ',' && text[i] != '\n' && text[i] != '\r') {
                line = rowLine;
                return false;
            }
            continue;
        }
        const char c = text[i++];
        if (c == ',') {
            row.push_back(std::move(field));
            field.clear();
        } else if (c == '\n') {
            endRow();
            rowLine = ++line;
        } else if (c != '\r') {
            field.push_back(c);
        }
    }
    if (!field.empty() || !row.empty()) {
        endRow();
    }
    return true;
}

} // namespace

JournalCsvProblem ReadJournalCsv(std::string_view csv, std::vector<JournalDefinition>& journals) {
    using Kind = JournalCsvProblem::Kind;
    journals.clear();
    std::vector<std::vector<std::string>> rows;
    std::vector<std::size_t> lines;
    std::size_t line = 0;
    if (!SplitCsv(csv, rows, lines, line)) {
        return {Kind::Quoting, line};
    }
    constexpr std::size_t kColumns = std::size(kJournalCsvColumns);
    if (rows.empty() || !std::equal(rows[0].begin(), rows[0].end(), std::begin(kJournalCsvColumns),
                                    std::end(kJournalCsvColumns))) {
        return {Kind::Header, 1};
    }
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const std::vector<std::string>& row = rows[r];
        if (row.size() != kColumns) {
            return {Kind::Columns, lines[r]};
        }
        JournalDefinition def;
        // Columns 0..5 are the texts 1, 0, 2, 3, 4, 5 of a definition; column 6 the ISSN.
        constexpr std::size_t kText[] = {1, 0, 2, 3, 4, 5, 6};
        for (std::size_t c = 0; c < std::size(kText); ++c) {
            if (!Utf8FitsCp1252(row[c])) {
                return {Kind::CodePage, lines[r]};
            }
            def.texts[kText[c]] = Utf8ToCp1252(row[c]);
        }
        bool* flags[] = {&def.requiresIssue, &def.lacksVolume};
        for (std::size_t f = 0; f < 2; ++f) {
            const std::string& v = row[7 + f];
            if (v != "1" && v != "0" && !v.empty()) {
                return {Kind::Flag, lines[r]};
            }
            *flags[f] = v == "1";
        }
        journals.push_back(std::move(def));
    }
    return {};
}

} // namespace cvx
