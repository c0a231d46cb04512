// Compiles the readable document-definition descriptions of data/documents into the
// document-definition library file the program ships.
//
//   document-library-compiler LIBRARY DESCRIPTION...
//
// The entries follow the order of the descriptions. A description that does not compile stops
// the build with its file name and the line at fault; the library is then not written.

#include "documents/DocumentDescription.h"
#include "documents/DocumentLibrary.h"
#include "storage/FileRewrite.h"
#include "storage/FileSystem.h"
#include "text/Cp1252.h"

#include <iostream>
#include <vector>

namespace {

int Fail(const std::string& where, const cvx::Outcome& outcome) {
    std::cerr << where << ": error: " << cvx::Cp1252ToUtf8(outcome.message()) << "\n";
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: document-library-compiler LIBRARY DESCRIPTION...\n";
        return 2;
    }
    cvx::FileSystem& fs = cvx::FileSystem::Default();
    std::vector<cvx::TDocumentDefinition> definitions;
    for (int i = 2; i < argc; ++i) {
        std::string text;
        if (cvx::Outcome r = cvx::ReadWholeFile(fs, argv[i], text); !r) {
            return Fail(argv[i], r);
        }
        cvx::TDocumentDefinition d;
        if (cvx::Outcome r = cvx::CompileDocumentDefinition(text, d); !r) {
            return Fail(argv[i], r);
        }
        definitions.push_back(std::move(d));
    }
    std::string bytes;
    if (cvx::Outcome r = cvx::EncodeDocumentLibrary(definitions, bytes); !r) {
        return Fail(argv[1], r);
    }
    if (cvx::Outcome r = cvx::WriteFileAtomically(fs, argv[1], bytes); !r) {
        return Fail(argv[1], r);
    }
    return 0;
}
