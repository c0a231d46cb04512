#pragma once
// A conversion run over a source written by the test, for the tests of Lexmill's internals.

#include "lexmill/ConversionState.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

#include <string>
#include <string_view>

namespace cvx::test {

class LexmillRun {
public:
    // Starts a run over `source` (written to a file) into "out.ref".
    explicit LexmillRun(std::string_view source, bool withOutput = true) {
        WriteBytes(SourcePath(), source);
        state.errorFileName = dir.File("errors.dmp");
        state.PrepareReadWrite(SourcePath(), withOutput ? OutputPath() : std::string(), false);
    }

    std::string SourcePath() const { return dir.File("source.txt"); }
    std::string OutputPath() const { return dir.File("out.ref"); }
    std::string Output() {
        state.CloseFiles();
        return ReadBytes(OutputPath());
    }
    std::string Dump() {
        state.CloseErrorFile();
        return ReadBytes(dir.File("errors.dmp"));
    }
    std::vector<std::string> Lines() const {
        return {state.allLines.begin(), state.allLines.begin() + state.mLine};
    }

    TempDir dir;
    lexmill::ConversionState state;
};

} // namespace cvx::test
