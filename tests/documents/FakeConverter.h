#pragma once
// A stand-in for LibreOffice: a script named "soffice" in a folder of its own, put first on the
// PATH while the object lives. It reads the arguments LibreOffice is given and, by its mode,
// converts (writes the .docx it was handed for a conversion to .docx, and the input itself for
// any other), fails, or hangs after writing half an output, with a child process of its own; it
// leaves the process ids of itself and its child, and its arguments, beside the script.

#include "support/FileBytes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include <sys/stat.h>
#include <sys/types.h>

namespace cvx::test {

class FakeConverter {
public:
    enum class Mode { Convert, Fail, Hang };

    explicit FakeConverter(Mode mode, const std::string& docx = {}) {
        const char* path = std::getenv("PATH");
        saved_ = path != nullptr ? path : "";
        std::string action;
        switch (mode) {
        case Mode::Convert:
            action = "if [ \"$target\" = docx ]; then cp '" + dir_.Write("given.docx", docx) +
                     "' \"$out/$base.docx\"; else cp \"$input\" \"$out/$base.$target\"; fi\n";
            break;
        case Mode::Fail:
            action = "exit 3\n";
            break;
        case Mode::Hang:
            action = "echo half > \"$out/$base.$target\"\nsleep 60 &\necho $! > '" +
                     dir_.File("child.pid") + "'\nwait\n";
            break;
        }
        const std::string script = "#!/bin/sh\necho $$ > '" + dir_.File("soffice.pid") +
                                   "'\necho \"$@\" > '" + dir_.File("arguments") +
                                   "'\n"
                                   "while [ $# -gt 1 ]; do\n"
                                   "  case \"$1\" in\n"
                                   "  --convert-to) target=$2; shift ;;\n"
                                   "  --outdir) out=$2; shift ;;\n"
                                   "  esac\n"
                                   "  shift\n"
                                   "done\n"
                                   "input=$1\n"
                                   "base=$(basename \"$input\")\n"
                                   "base=${base%.*}\n"
                                   "mkdir -p \"$out\"\n" +
                                   action;
        const std::string program = dir_.Write("soffice", script);
        ::chmod(program.c_str(), 0755);
        setenv("PATH", (dir_.Path().string() + ":/usr/bin:/bin").c_str(), 1);
    }

    ~FakeConverter() { setenv("PATH", saved_.c_str(), 1); }

    FakeConverter(const FakeConverter&) = delete;
    FakeConverter& operator=(const FakeConverter&) = delete;

    // The process id the script (or its child) wrote, once it is there: 0 when it does not come
    // within 20 seconds.
    pid_t WaitForPid(const char* which) const {
        const std::string file = dir_.File(which);
        for (int i = 0; i < 400; ++i) {
            const std::string text = ReadBytes(file);
            if (!text.empty() && text.back() == '\n') {
                return static_cast<pid_t>(std::stol(text));
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return 0;
    }

    std::string Arguments() const { return ReadBytes(dir_.File("arguments")); }

    // True while the process runs (a process that has ended but not been reaped does not).
    static bool Running(pid_t pid) {
        std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
        std::string stat;
        if (!std::getline(in, stat)) {
            return false;
        }
        const std::size_t close = stat.rfind(')');
        return close != std::string::npos && close + 2 < stat.size() && stat[close + 2] != 'Z' &&
               stat[close + 2] != 'X';
    }

    // True when the process has ended or ends within two seconds.
    static bool Ends(pid_t pid) {
        for (int i = 0; i < 40 && Running(pid); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return !Running(pid);
    }

private:
    TempDir dir_;
    std::string saved_;
};

} // namespace cvx::test
