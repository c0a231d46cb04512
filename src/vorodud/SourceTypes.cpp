#include "vorodud/SourceTypes.h"

#include "text/Catalogue.h"

namespace cvx::vorodud {

namespace {

enum Supplier {
    Ncbi,
    Clarivate,
    Elsevier,
    Ovid,
    ReferenceManagers,
    OnlineHosts,
    CompuServeInformation,
    CdRomServices,
    Dialog,
    WebPages,
    JapaneseServices,
    WordProcessors,
};

} // namespace

const std::vector<SourceType>& SourceTypes() {
    // Type 17, the type a fresh import page starts with, is RIS: today's most common download.
    static const std::vector<SourceType> types = {
        {17, "ris", ReferenceManagers, 4, ProcedureId::Ris},
        {21, "medline", Ncbi, 0, ProcedureId::Medline},
        {22, "wos", Clarivate, 1, ProcedureId::WebOfScience},
        {23, "refer", ReferenceManagers, 2, ProcedureId::Refer},
        {24, "bibtex", ReferenceManagers, 3, ProcedureId::Bibtex},
        {25, "ris-wos", Clarivate, 5, ProcedureId::Ris},
        {26, "ris-embase", Elsevier, 6, ProcedureId::Ris},
        {27, "ris-scopus", Elsevier, 7, ProcedureId::Ris},
        {28, "ris-psycinfo", Ovid, 8, ProcedureId::Ris},
        {29, "ris-pubmed", Ncbi, 9, ProcedureId::Ris},
    };
    return types;
}

const SourceType* FindType(int number) {
    for (const SourceType& t : SourceTypes()) {
        if (t.number == number) {
            return &t;
        }
    }
    return nullptr;
}

const SourceType* FindTypeByKey(std::string_view key) {
    for (const SourceType& t : SourceTypes()) {
        if (t.key == key) {
            return &t;
        }
    }
    return nullptr;
}

namespace {

std::vector<std::string> ListOf(MsgList list) {
    std::vector<std::string> names;
    for (int i = 0; i < MessageCount(list); ++i) {
        names.push_back(Message(list, i));
    }
    return names;
}

} // namespace

std::vector<std::string> SupplierNames() {
    return ListOf(MsgList::VorodudSuppliers);
}

std::vector<std::string> DatabaseNames() {
    return ListOf(MsgList::VorodudDatabases);
}

} // namespace cvx::vorodud
