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
    LibraryCatalogues,
};

} // namespace

const std::vector<SourceType>& SourceTypes() {
    // Type 17, the type a fresh import page starts with, is RIS: today's most common download.
    static const std::vector<SourceType> types = {
        {1, "host-medline", OnlineHosts, 10, ProcedureId::HostSession},
        {2, "copac", LibraryCatalogues, 11, ProcedureId::Copac},
        {3, "compuserve", CompuServeInformation, 12, ProcedureId::CompuServe},
        {4, "cdrom-pages", CdRomServices, 13, ProcedureId::PageLayout},
        {5, "inspec", CdRomServices, 14, ProcedureId::Inspec},
        {6, "dialog-isi", Dialog, 15, ProcedureId::DialogIsi},
        {7, "refupdate", OnlineHosts, 16, ProcedureId::ReferenceUpdate},
        {8, "probase", OnlineHosts, 17, ProcedureId::Probase},
        {9, "jicst", JapaneseServices, 18, ProcedureId::Jicst},
        {10, "igaku", JapaneseServices, 19, ProcedureId::Igaku},
        {11, "entrez-html", WebPages, 20, ProcedureId::EntrezHtml},
        {12, "medline-html", WebPages, 21, ProcedureId::MedlineHtml},
        {13, "positional", CdRomServices, 22, ProcedureId::Positional},
        {14, "labelled", CdRomServices, 23, ProcedureId::Labelled},
        {15, "silverplatter", CdRomServices, 24, ProcedureId::SilverPlatter},
        {16, "bibliography", WordProcessors, 25, ProcedureId::Bibliography},
        {17, "ris", ReferenceManagers, 4, ProcedureId::Ris},
        {18, "dos-blocks", WordProcessors, 26, ProcedureId::DosBlocks},
        {19, "numbered-list", WordProcessors, 27, ProcedureId::NumberedList},
        {21, "medline", Ncbi, 0, ProcedureId::Medline},
        {22, "wos", Clarivate, 1, ProcedureId::WebOfScience},
        {23, "refer", ReferenceManagers, 2, ProcedureId::Refer},
        {24, "bibtex", ReferenceManagers, 3, ProcedureId::Bibtex},
        {25, "ris-wos", Clarivate, 5, ProcedureId::Ris},
        {26, "ris-embase", Elsevier, 6, ProcedureId::Ris},
        {27, "ris-scopus", Elsevier, 7, ProcedureId::Ris},
        {28, "ris-psycinfo", Ovid, 8, ProcedureId::Ris},
        {29, "ris-pubmed", Ncbi, 9, ProcedureId::Ris},
        {30, "ovid", Ovid, 28, ProcedureId::Ovid},
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
    names.reserve(static_cast<std::size_t>(MessageCount(list)));
    for (int i = 0; i < MessageCount(list); ++i) {
        names.push_back(Message({list, i}));
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
