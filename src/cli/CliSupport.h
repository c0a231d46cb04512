#pragma once
// What every command of the command-line front end shares: its arguments, printing code page
// 1252 text as UTF-8, reporting failures, and a progress display on the terminal.

#include "refstore/OrderFile.h"
#include "refstore/RefSet.h"
#include "text/Catalogue.h"
#include "text/Outcome.h"
#include "text/Progress.h"

#include <atomic>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cvx {
class TReferenceFile;
} // namespace cvx

namespace cvx::cli {

// Exit statuses.
inline constexpr int kSuccess = 0;
inline constexpr int kFailure = 1;
inline constexpr int kUsageError = 2;

// The arguments after the command name: positionals in order, and "--name [value]" options.
class Args {
public:
    // `valued` names the options that take a value.
    Args(std::vector<std::string> raw, std::vector<std::string_view> valued);

    const std::vector<std::string>& Positional() const { return positional_; }
    bool Has(std::string_view option) const;
    std::optional<std::string> Value(std::string_view option) const;
    // An option that is not in `known`, if any.
    std::optional<std::string> Unknown(std::vector<std::string_view> known) const;
    // False when a valued option lacks its value.
    bool Complete() const { return complete_; }

private:
    std::vector<std::string> positional_;
    std::vector<std::pair<std::string, std::string>> options_;
    bool complete_ = true;
};

// Prints code page 1252 text as UTF-8; CR bytes from filled messages become line breaks.
void Print(std::string_view cp1252Text);
void PrintLine(std::string_view cp1252Text);
// Prints a failure's message on standard error and returns kFailure.
int Fail(const Outcome& outcome);
int Fail(std::string_view cp1252Message);
// Prints the usage line(s) of a command (their catalogue entries) and returns kUsageError.
int Usage(std::initializer_list<MsgId> entries);

// A reference number as typed; nullopt (after printing why) when it is not a number. The engines
// check that the file has such a reference.
std::optional<int> ReferenceNumber(std::string_view text);

// Opens a reference file for a command (refstore/ReferenceJobs.h); prints why not, with the
// command that repairs line ends when they are the reason, and returns false when it cannot be
// used.
bool OpenFile(TReferenceFile& file, const std::string& name, Progress& progress,
              DisplayOrder displayKind = DisplayOrder::Original);

// JSON string literal of code page 1252 text.
std::string JsonString(std::string_view cp1252Text);
// JSON array of numbers ("[1, 4, 7]").
std::string JsonNumbers(const std::vector<int>& numbers);
// The references of a set as the user numbers them: from 1, in file order.
std::vector<int> NumbersOf(const RefSet& set);
// Numbers as a message shows them: "1, 4, 7".
std::string NumberList(const std::vector<int>& numbers);

// Tells on standard error which references could not be parsed (`message` with their numbers);
// nothing when there are none.
void WarnUnparsed(MsgId message, const std::vector<int>& unparsed);

// The order of --order NAME|N (refstore/SortOrders.h), or `fallback` without one; nullopt after
// printing why when the name is none of the orders.
std::optional<DisplayOrder> OrderOption(const Args& args, DisplayOrder fallback);

// A long operation on standard error while that is a terminal: each status text as a line of
// its own (unless the command reports the outcome itself) and the progress as a bar, which the
// next status line and the end clear. The operation may report from a worker thread.
class TerminalProgress final : public Progress {
public:
    enum class Statuses { Shown, Hidden };

    explicit TerminalProgress(Statuses statuses = Statuses::Shown);
    // Status lines shown, unless the command prints JSON (--json).
    static Statuses For(const Args& args);
    ~TerminalProgress() override;
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    void SetStatus(std::string_view text) override;
    void SetProgress(int permille) override;

private:
    void ClearBar();

    const bool terminal_;
    const bool showStatuses_;
    std::atomic<bool> drawn_{false};
    std::atomic<int> percent_{-1};
};

} // namespace cvx::cli
