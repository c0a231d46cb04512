#pragma once
// The compiled message tables (generated from data/messages by catalogue-compiler).

namespace cvx::catalogue {

struct ListData {
    const char* name;
    const char* const* entries; // null entries: not translated
    int count;
};

struct LanguageData {
    const char* code;
    const ListData* lists; // indexed by MsgList
};

extern const LanguageData kLanguages[];
extern const int kLanguageCount;

} // namespace cvx::catalogue
