#pragma once
// The procedures of today's tagged downloads: MEDLINE, RIS, Web of Science and Refer (the .cpp
// file says how each format is read).

#include "vorodud/Procedure.h"
#include "vorodud/TaggedFields.h"

#include <string>

namespace cvx::vorodud {

class MedlineProcedure final : public Procedure {
protected:
    void ReadRecord() override;
    bool Fill() override;
};

class RisProcedure final : public Procedure {
public:
    void Begin(const std::string& source) override;

protected:
    void ReadRecord() override;
    bool Fill() override;

private:
    std::string marker_ = "TY  -";
};

class WebOfScienceProcedure final : public Procedure {
protected:
    void ReadRecord() override;
    bool Fill() override;
};

class ReferProcedure final : public Procedure {
protected:
    void ReadRecord() override;
    bool Fill() override;
};

} // namespace cvx::vorodud
