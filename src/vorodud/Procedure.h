#pragma once
// A conversion procedure: how one family of sources is read with Lexmill's record readers and
// how the collected reference is filled from a record's lines. The driver runs step 4 of
// Lexmill's calling order through Convert.

#include "text/TextMode.h"

#include <string>

namespace cvx {
class Progress;
}

namespace cvx::vorodud {

// The run as a procedure sees it: writing references and telling whether to go on.
class Session {
public:
    Session(Progress& progress, std::string sourceName);

    // WriteToFile for the current reference, then progress; false when the run must stop.
    bool Write();
    // Progress after a record that carried no reference; false when the run must stop.
    bool Continue();
    bool Aborted() const { return aborted_; }
    int Records() const { return records_; }

private:
    bool Report();

    Progress& progress_;
    std::string sourceName_;
    int records_ = 0;
    bool aborted_ = false;
};

class Procedure {
public:
    virtual ~Procedure() = default;

    // The character set of the source: ShiftJis for Japanese double-byte text.
    virtual TextMode CharSet() const { return TextMode::Ansi; }
    // Looks at the source before the run (a procedure may choose its markers from it).
    virtual void Begin(const std::string& /*source*/) {}
    // Reads every record and writes or dumps what it holds.
    virtual void Convert(Session& session);

protected:
    // Reads the next record with a Lexmill record reader.
    virtual void ReadRecord() = 0;
    // Fills the collected reference from the record's lines; false when the record holds no
    // reference (a header, a stray line of text), which is then neither written nor dumped.
    virtual bool Fill() = 0;
};

} // namespace cvx::vorodud
