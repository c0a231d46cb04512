// Compiles the readable format descriptions of data/formats into ".for" files, and turns a
// ".for" file back into its description.
//
//   format-compiler compile STYLE.txt OUT.for
//   format-compiler decompile IN.for [OUT.txt]
//
// Compiling fails (status 1, message on standard error) on any error in the description, so a
// broken style never reaches the program.

#include "formats/FormatFile.h"
#include "formats/StyleText.h"
#include "text/Cp1252.h"

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

namespace {

int Fail(const std::string& where, const std::string& cp1252Message) {
    std::cerr << where << ": error: " << cvx::Cp1252ToUtf8(cp1252Message) << "\n";
    return 1;
}

int Compile(const std::string& source, const std::string& target) {
    std::ifstream in(source, std::ios::binary);
    if (!in) {
        return Fail(source, "cannot open");
    }
    std::ostringstream text;
    text << in.rdbuf();
    cvx::FormatRecord record;
    if (cvx::Outcome r = cvx::CompileFormat(text.str(), record); !r) {
        return Fail(source, r.message());
    }
    if (cvx::Outcome r = cvx::WriteFormatFile(record, target); !r) {
        return Fail(target, r.message());
    }
    return 0;
}

int Decompile(const std::string& source, const std::string& target) {
    cvx::TFormatDesc desc;
    if (cvx::LoadFormat(desc, source) != cvx::kFormatLoaded || desc.FileName().empty()) {
        return Fail(source, "not a format file");
    }
    const std::string text = cvx::DecompileFormat(desc.record);
    if (target.empty()) {
        std::cout << text;
        return 0;
    }
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out << text;
    return out ? 0 : Fail(target, "cannot write");
}

} // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "compile" && argc == 4) {
        return Compile(argv[2], argv[3]);
    }
    if (command == "decompile" && (argc == 3 || argc == 4)) {
        return Decompile(argv[2], argc == 4 ? argv[3] : "");
    }
    std::cerr << "usage: format-compiler compile STYLE.txt OUT.for\n"
                 "       format-compiler decompile IN.for [OUT.txt]\n";
    return 2;
}
