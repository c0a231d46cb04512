#include "text/LatexCharacters.h"

namespace cvx {

namespace {

struct Command {
    std::string_view name;
    char32_t character;
};

// Commands that stand for a letter, a sign or an escaped special character. A name is read as its
// first entry, and a character is written by the first entry that has it.
constexpr Command kCommands[] = {{"ss", 0x00DF},
                                 {"o", 0x00F8},
                                 {"O", 0x00D8},
                                 {"aa", 0x00E5},
                                 {"AA", 0x00C5},
                                 {"ae", 0x00E6},
                                 {"AE", 0x00C6},
                                 {"oe", 0x0153},
                                 {"OE", 0x0152},
                                 {"l", 0x0142},
                                 {"L", 0x0141},
                                 {"i", U'i'},
                                 {"j", U'j'},
                                 {"dh", 0x00F0},
                                 {"DH", 0x00D0},
                                 {"th", 0x00FE},
                                 {"TH", 0x00DE},
                                 {"textendash", 0x2013},
                                 {"textemdash", 0x2014},
                                 {"textquoteleft", 0x2018},
                                 {"textquoteright", 0x2019},
                                 {"textquotesingle", U'\''},
                                 {"textquotedblleft", 0x201C},
                                 {"textquotedblright", 0x201D},
                                 {"dag", 0x2020},
                                 {"ddag", 0x2021},
                                 {"S", 0x00A7},
                                 {"P", 0x00B6},
                                 {"copyright", 0x00A9},
                                 {"pounds", 0x00A3},
                                 {"euro", 0x20AC},
                                 {"textdegree", 0x00B0},
                                 {"degree", 0x00B0},
                                 {"ldots", 0x2026},
                                 {"dots", 0x2026},
                                 {"textregistered", 0x00AE},
                                 {"texttrademark", 0x2122},
                                 {"alpha", 0x03B1},
                                 {"beta", 0x03B2},
                                 {"gamma", 0x03B3},
                                 {"delta", 0x03B4},
                                 {"epsilon", 0x03B5},
                                 {"varepsilon", 0x03B5},
                                 {"zeta", 0x03B6},
                                 {"eta", 0x03B7},
                                 {"theta", 0x03B8},
                                 {"iota", 0x03B9},
                                 {"kappa", 0x03BA},
                                 {"lambda", 0x03BB},
                                 {"mu", 0x03BC},
                                 {"nu", 0x03BD},
                                 {"xi", 0x03BE},
                                 {"pi", 0x03C0},
                                 {"rho", 0x03C1},
                                 {"sigma", 0x03C3},
                                 {"tau", 0x03C4},
                                 {"upsilon", 0x03C5},
                                 {"varphi", 0x03C6},
                                 {"phi", 0x03C6},
                                 {"chi", 0x03C7},
                                 {"psi", 0x03C8},
                                 {"omega", 0x03C9},
                                 {"varpi", 0x03D6},
                                 {"vartheta", 0x03D1},
                                 {"varsigma", 0x03C2},
                                 // The straight phi is written \phi, which BibTeX sources also
                                 // use for the curled one, so it is read as that (above).
                                 {"phi", 0x03D5},
                                 {"Gamma", 0x0393},
                                 {"Delta", 0x0394},
                                 {"Theta", 0x0398},
                                 {"Lambda", 0x039B},
                                 {"Xi", 0x039E},
                                 {"Pi", 0x03A0},
                                 {"Sigma", 0x03A3},
                                 {"Upsilon", 0x03A5},
                                 {"Phi", 0x03A6},
                                 {"Psi", 0x03A8},
                                 {"Omega", 0x03A9},
                                 {"leq", 0x2264},
                                 {"le", 0x2264},
                                 {"geq", 0x2265},
                                 {"ge", 0x2265},
                                 {"neq", 0x2260},
                                 {"approx", 0x2248},
                                 {"pm", 0x00B1},
                                 {"times", 0x00D7},
                                 {"cdot", 0x00B7},
                                 {"infty", 0x221E},
                                 {"circ", 0x00B0},
                                 {"to", 0x2192},
                                 {"rightarrow", 0x2192},
                                 {"leftarrow", 0x2190},
                                 {"sim", 0x223C},
                                 {"textasciitilde", U'~'},
                                 {"textbackslash", U'\\'},
                                 {"&", U'&'},
                                 {"%", U'%'},
                                 {"$", U'$'},
                                 {"#", U'#'},
                                 {"_", U'_'},
                                 {"{", U'{'},
                                 {"}", U'}'}};

struct Accent {
    char name;
    char32_t mark;
};

constexpr Accent kAccents[] = {{'\'', 0x0301}, {'`', 0x0300}, {'^', 0x0302}, {'"', 0x0308},
                               {'~', 0x0303},  {'=', 0x0304}, {'.', 0x0307}, {'u', 0x0306},
                               {'v', 0x030C},  {'H', 0x030B}, {'c', 0x0327}, {'d', 0x0323},
                               {'b', 0x0331},  {'k', 0x0328}, {'r', 0x030A}, {'t', 0x0361}};

} // namespace

char32_t LatexCommandCharacter(std::string_view name) {
    for (const Command& c : kCommands) {
        if (c.name == name) {
            return c.character;
        }
    }
    return 0;
}

std::string_view LatexCommandFor(char32_t character) {
    for (const Command& c : kCommands) {
        if (c.character == character) {
            return c.name;
        }
    }
    return {};
}

char32_t LatexAccentMark(std::string_view name) {
    if (name.size() != 1) {
        return 0;
    }
    for (const Accent& a : kAccents) {
        if (a.name == name.front()) {
            return a.mark;
        }
    }
    return 0;
}

char LatexAccentCommand(char32_t mark) {
    for (const Accent& a : kAccents) {
        if (a.mark == mark) {
            return a.name;
        }
    }
    return 0;
}

} // namespace cvx
