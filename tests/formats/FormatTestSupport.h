#pragma once
// Small helpers shared by the format tests: building references and rendering them.

#include "formats/FormatDesc.h"
#include "formats/Renderer.h"
#include "refstore/RefArrData.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace cvx::test {

using F = FieldIndex;

// A reference of one source type with the fields given.
inline TRefArrData Ref(SourceType type, std::initializer_list<std::pair<F, std::string>> fields) {
    TRefArrData d;
    d.sourceType = type;
    for (const auto& [field, value] : fields) {
        d[field] = value;
    }
    return d;
}

// The reference of the first edge case: a journal article with three authors.
inline TRefArrData Zuze() {
    return Ref(SourceType::Journal,
               {{F::Authors, "Zuze, Razor. Viroz, Riridi. Zedozada, Ruze."},
                {F::Title, "Chronic coxsackie B infection mimicking primary fibromyalgia."},
                {F::Year, "1989"},
                {F::Volume, "16"},
                {F::PageFirst, "1506"},
                {F::PageLast, "1508"},
                {F::Journal, "J. Rheumatol."}});
}

inline std::string Render(const TFormatDesc& desc, const TRefArrData& record, bool longForm,
                          const RenderOptions& options = {}) {
    std::string out;
    RenderReference(desc, longForm, record, out, options);
    return out;
}

inline void SetText(TFormatDesc& desc, StrRef& ref, std::string_view text) {
    ASSERT_TRUE(SetPoolString(desc, ref, text).ok()) << text;
}

inline FormDef& Form(TFormatDesc& desc, FormSlot slot) {
    return desc.record.Form(slot);
}

inline FieldProps& Props(TFormatDesc& desc, FormSlot slot, F kind) {
    return desc.record.Form(slot).props[static_cast<int>(kind)];
}

inline void SetOrder(FormDef& form, std::initializer_list<F> kinds) {
    form.count = 0;
    for (F k : kinds) {
        form.order[form.count++] = static_cast<std::uint8_t>(k);
    }
}

} // namespace cvx::test
