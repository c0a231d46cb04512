#pragma once
// The procedure of BibTeX files: entries are cut out with Lexmill's reference reader (a record
// runs from a line starting with "@" to the next); an entry that runs past its record is
// completed with the next one, and a record holding several entries gives several references.

#include "vorodud/BibtexEntries.h"
#include "vorodud/Procedure.h"

namespace cvx::vorodud {

class BibtexProcedure final : public Procedure {
public:
    void Convert(Session& session) override;

protected:
    void ReadRecord() override;
    bool Fill() override;

private:
    BibtexReader reader_;
    const BibtexEntry* entry_ = nullptr;
};

} // namespace cvx::vorodud
