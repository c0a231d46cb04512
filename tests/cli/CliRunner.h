#pragma once
// Runs citavox-cli as a separate process and captures what it prints.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace cvx::test {

struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

inline std::string ShellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return q + "'";
}

inline std::string Slurp(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline CliResult RunCli(const std::vector<std::string>& args) {
    const auto dir = std::filesystem::temp_directory_path();
    const std::string tag = std::to_string(::getpid()) + "-" + std::to_string(std::rand());
    const auto outFile = dir / ("cli-out-" + tag);
    const auto errFile = dir / ("cli-err-" + tag);
    std::string command = ShellQuote(CITAVOX_CLI);
    for (const std::string& a : args) {
        command += " " + ShellQuote(a);
    }
    command += " >" + ShellQuote(outFile.string()) + " 2>" + ShellQuote(errFile.string());
    const int status = std::system(command.c_str());
    CliResult r;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = Slurp(outFile);
    r.err = Slurp(errFile);
    std::filesystem::remove(outFile);
    std::filesystem::remove(errFile);
    return r;
}

} // namespace cvx::test
