#pragma once
// The RIS layout: "TY  - " to "ER  -" records as other reference managers read them.

#include "output/ExportWriter.h"

namespace cvx {

class RisWriter final : public ExportWriter {
public:
    Outcome Begin(WritableFile& out, const ExportHeading& heading) override;
    void Record(const ExportedReference& reference, std::string& out) const override;
    Outcome End(WritableFile& out) override;
};

} // namespace cvx
