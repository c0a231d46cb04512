// Fuzzes the word-index reader with arbitrary files: an index it accepts answers look-ups in
// every field with reference numbers below its reference count or reports damage, and the
// reference data decoder takes any bytes.

#include "refstore/RefSet.h"
#include "search/WordIndex.h"
#include "search/WordIndexFormat.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::vector<std::uint32_t> numbers;
    if (cvx::DecodeReferenceData(bytes, 1000, numbers)) {
        for (std::size_t i = 0; i < numbers.size(); ++i) {
            if (numbers[i] >= 1000 || (i > 0 && numbers[i] <= numbers[i - 1])) {
                std::abort();
            }
        }
    }
    cvx::WordIndex index;
    if (index.OpenBytes(bytes) != cvx::IndexOpening::Opened) {
        return 0;
    }
    const std::uint32_t count = index.Header().referenceCount;
    if (count > (1u << 20)) {
        return 0; // a set of that many references is beyond what a test input should allocate
    }
    for (int field = cvx::kFirstIndexField; field <= cvx::kLastIndexField; ++field) {
        for (const char* word : {"", "A", "SMITH", "1", "199", "Z"}) {
            cvx::RefSet set(static_cast<int>(count));
            if (index.Lookup(field, word, field % 2 == 0, set) &&
                set.Count() > static_cast<int>(count)) {
                std::abort();
            }
        }
        (void)index.ForEachWord(field,
                                [&](std::string_view, const std::vector<std::uint32_t>& refs) {
                                    for (const std::uint32_t r : refs) {
                                        if (r >= count) {
                                            std::abort();
                                        }
                                    }
                                });
    }
    return 0;
}
