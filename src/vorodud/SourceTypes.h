#pragma once
// The source types the driver knows: each a supplier (the host, service or program that wrote
// the download) and a database, read by one conversion procedure. A source type is a number;
// 0 means none.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cvx::vorodud {

enum class ProcedureId {
    Medline,
    Ris,
    WebOfScience,
    Refer,
    Bibtex,
    HostSession,
    Copac,
    CompuServe,
    PageLayout,
    Inspec,
    DialogIsi,
    ReferenceUpdate,
    Probase,
    Jicst,
    Igaku,
    EntrezHtml,
    MedlineHtml,
    Positional,
    Labelled,
    SilverPlatter,
    Bibliography,
    DosBlocks,
    NumberedList,
    Ovid,
};

struct SourceType {
    int number;
    std::string_view key; // the type's name on the command line
    int supplier;         // index into the supplier list
    int database;         // index into the database list
    ProcedureId procedure;
};

const std::vector<SourceType>& SourceTypes();
const SourceType* FindType(int number);
const SourceType* FindTypeByKey(std::string_view key);

std::vector<std::string> SupplierNames();
std::vector<std::string> DatabaseNames();

} // namespace cvx::vorodud
