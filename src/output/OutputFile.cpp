#include "output/OutputFile.h"

#include "refstore/ReferenceReader.h"
#include "storage/FileSystem.h"
#include "text/Catalogue.h"
#include "text/FileNames.h"

namespace cvx {

Outcome CheckOutputFile(FileSystem& fs, const std::string& output, const ReferenceReader& source) {
    if (fs.SameFile(output, source.FileName())) {
        return Outcome::Error(Msg(msg::Citavox::OutputIsSource, DisplayPath(output)));
    }
    return Outcome::Ok();
}

} // namespace cvx
