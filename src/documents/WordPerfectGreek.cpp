#include "documents/WordPerfectGreek.h"

namespace cvx {

namespace {

// WordPerfect's Greek set: capital and small letter pairs from index 0, a second capital beta
// and the curled beta at 4 and 5, a second capital sigma and the final sigma at 38 and 39, and
// the variant letters further on.
struct Entry {
    char32_t letter;
    int index;
};
constexpr Entry kWordPerfect[] = {
    {0x0391, 0},  {0x03B1, 1},  {0x0392, 2},  {0x03B2, 3},  {0x03D0, 5},  {0x0393, 6},
    {0x03B3, 7},  {0x0394, 8},  {0x03B4, 9},  {0x0395, 10}, {0x03B5, 11}, {0x0396, 12},
    {0x03B6, 13}, {0x0397, 14}, {0x03B7, 15}, {0x0398, 16}, {0x03B8, 17}, {0x0399, 18},
    {0x03B9, 19}, {0x039A, 20}, {0x03BA, 21}, {0x039B, 22}, {0x03BB, 23}, {0x039C, 24},
    {0x03BC, 25}, {0x039D, 26}, {0x03BD, 27}, {0x039E, 28}, {0x03BE, 29}, {0x039F, 30},
    {0x03BF, 31}, {0x03A0, 32}, {0x03C0, 33}, {0x03A1, 34}, {0x03C1, 35}, {0x03A3, 36},
    {0x03C3, 37}, {0x03C2, 39}, {0x03A4, 40}, {0x03C4, 41}, {0x03A5, 42}, {0x03C5, 43},
    {0x03A6, 44}, {0x03C6, 45}, {0x03A7, 46}, {0x03C7, 47}, {0x03A8, 48}, {0x03C8, 49},
    {0x03A9, 50}, {0x03C9, 51}, {0x03D1, 71}, {0x03D6, 73}, {0x03D5, 77}};

} // namespace

int WordPerfectGreekIndex(char32_t greek) {
    for (const Entry& e : kWordPerfect) {
        if (e.letter == greek) {
            return e.index;
        }
    }
    return -1;
}

} // namespace cvx
