#pragma once
// Runs the conversion driver on a file and reads back what it wrote, for the driver's tests.

#include "refstore/RefArrData.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"
#include "vorodud/Vorodud.h"

#include <string>
#include <vector>

namespace cvx::test {

struct ImportResult {
    vorodud::ResultCode code = vorodud::ResultCode::Done;
    std::string text;
    vorodud::Counters counters;
    std::string message; // the driver's message when the result code cannot say it
    std::string output;  // the destination's bytes
    std::string dump;    // the error dump file's bytes
};

class Importer {
public:
    Importer() { settings.errorDumpFile = dir.File("errors.dmp"); }

    ImportResult Run(int type, const std::string& source, const std::string& destination,
                     DestinationMode mode = DestinationMode::New, Progress* progress = nullptr,
                     bool readOutput = true) {
        vorodud::Vorodud driver(settings);
        Progress quiet;
        auto thread = driver.StartConversion(type, source, destination, mode,
                                             progress != nullptr ? *progress : quiet, nullptr);
        thread->Resume();
        thread->Wait();
        ImportResult r;
        r.code = driver.LastResult(r.text);
        r.counters = driver.LastCounters();
        r.message = driver.LastMessage();
        if (readOutput) {
            r.output = ReadBytes(destination);
        }
        r.dump = ReadBytes(settings.errorDumpFile);
        return r;
    }

    TempDir dir;
    vorodud::ImportSettings settings;
};

// The reference blocks of reference-file text (each without its empty line).
inline std::vector<std::string> ReferenceBlocks(const std::string& text) {
    std::vector<std::string> blocks;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find("\r\n\r\n", pos);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string block = text.substr(pos, end - pos);
        if (!block.empty() && block != "\r\n") {
            blocks.push_back(block + "\r\n");
        }
        pos = end + 4;
        while (pos + 1 < text.size() && text.compare(pos, 2, "\r\n") == 0) {
            pos += 2;
        }
    }
    return blocks;
}

} // namespace cvx::test
