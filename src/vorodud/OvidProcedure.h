#pragma once
// Ovid's labelled export (Ovid MEDLINE, Embase, PsycINFO): records open with a line "<1>", each
// field is a label on a line of its own ("Author", "Title", "Source") with its value on the
// indented lines below.

#include "vorodud/Procedure.h"

#include <string_view>
#include <vector>

namespace cvx::vorodud {

class OvidProcedure final : public Procedure {
protected:
    void ReadRecord() override;
    bool Fill() override;
};

// Whether a line is a record's opening line ("<12>").
bool IsOvidRecordLine(std::string_view line);
// Whether a line is one of the labels every Ovid export carries.
bool IsOvidLabel(std::string_view line);

} // namespace cvx::vorodud
