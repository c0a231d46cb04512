#include "refstore/Companions.h"

#include "storage/FileRewrite.h"
#include "storage/FileSystem.h"
#include "text/CaseMapping.h"
#include "text/Catalogue.h"
#include "text/FileNames.h"

#include <vector>

namespace cvx {

namespace {

// Every existing spelling of the companion's name.
std::vector<std::string> CompanionSpellings(FileSystem& fs, const std::string& referenceFile,
                                            std::string_view ext) {
    const std::string wanted = BaseName(ChangeExt(referenceFile, ext));
    const std::string dir = DirOf(referenceFile);
    const std::string lowerWanted = LowerText(wanted);
    std::vector<std::string> found;
    for (const std::string& name : fs.ListDirectory(dir)) {
        if (name.size() == wanted.size() && LowerText(name) == lowerWanted &&
            name.compare(0, name.size() - ext.size(), wanted, 0, wanted.size() - ext.size()) == 0) {
            found.push_back(dir.empty() ? name : AddBackslash(dir) + name);
        }
    }
    return found;
}

} // namespace

std::string ReferenceFileNotCreated(const Outcome& cause) {
    return FailureMessage(cause, Msg(msg::Citavox::ReferenceFileNotCreated),
                          Msg(msg::FileOpen::CannotCreateReferenceFile));
}

Outcome CheckReferenceFileName(const std::string& path) {
    const std::string name = BaseName(path);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) {
        return Outcome::Ok();
    }
    const std::string ext = LowerText(name.substr(dot + 1));
    for (std::string_view companion :
         {kMapExt, kTagExt, kOrderExt, kIndexExt, kKeyExt, kStampExt, kBackupExt, kTemporaryExt}) {
        if (ext == companion) {
            // The suggested copy: "a.bak" becomes "a-bak.ref".
            return Outcome::Error(Msg(msg::Citavox::CompanionNotReference, DisplayPath(path),
                                      name.substr(dot + 1),
                                      DisplayPath(path.substr(0, path.size() - ext.size() - 1) +
                                                  "-" + name.substr(dot + 1) + ".ref")));
        }
    }
    return Outcome::Ok();
}

std::string CompanionPath(FileSystem& fs, const std::string& referenceFile, std::string_view ext) {
    std::string lower = ChangeExt(referenceFile, ext);
    if (fs.Stat(lower).exists) {
        return lower;
    }
    std::vector<std::string> spellings = CompanionSpellings(fs, referenceFile, ext);
    return spellings.empty() ? lower : spellings.front();
}

void RemoveCompanions(FileSystem& fs, const std::string& referenceFile) {
    for (std::string_view ext : {kMapExt, kTagExt, kOrderExt, kStampExt}) {
        for (const std::string& path : CompanionSpellings(fs, referenceFile, ext)) {
            (void)fs.Remove(path);
        }
        (void)fs.Remove(ChangeExt(referenceFile, ext));
    }
}

std::uint64_t TotalSize(FileSystem& fs, const std::string& referenceFile) {
    std::uint64_t total = fs.Stat(referenceFile).size;
    for (std::string_view ext : {kMapExt, kOrderExt, kKeyExt, kTagExt, kIndexExt, kStampExt}) {
        const FileInfo info = fs.Stat(CompanionPath(fs, referenceFile, ext));
        if (info.exists) {
            total += info.size;
        }
    }
    return total;
}

bool FileIsEmpty(FileSystem& fs, const std::string& path) {
    return fs.Stat(path).size < 3;
}

bool CompanionOutdated(FileSystem& fs, const std::string& mainFile, const std::string& companion) {
    const FileInfo c = fs.Stat(companion);
    return !c.exists || c.size == 0 || c.modifiedNs < fs.Stat(mainFile).modifiedNs;
}

bool CanCreateFile(FileSystem& fs, const std::string& path) {
    const bool existed = fs.Stat(path).exists;
    Outcome r;
    std::unique_ptr<WritableFile> file = fs.OpenForWrite(path, true, r);
    if (!file) {
        return false;
    }
    (void)file->Close();
    if (!existed) {
        (void)fs.Remove(path);
    }
    return true;
}

bool FileWritable(FileSystem& fs, const std::string& path) {
    const std::string dir = DirOf(path);
    const FileInfo d = fs.Stat(dir.empty() ? "." : dir);
    if (!d.exists || !d.isDirectory || FileNameOf(path).empty()) {
        return false;
    }
    const FileInfo f = fs.Stat(path);
    return !f.exists || f.writable;
}

} // namespace cvx
