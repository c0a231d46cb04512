// Compiles the message catalogue files of data/messages into C++ tables.
//
//   catalogue-compiler HEADER SOURCE en.txt [xx.txt ...]
//
// The first file is the reference language: it defines the lists and their lengths, the
// header's enum of list names and, from the name of every entry, an enum per list in namespace
// msg (msg::List::Name is the entry's index). Every further file is a translation: it may only
// name lists and indexes that the reference has, its entries may leave the name out (one given
// must be the reference's), and entries it lacks fall back to the reference at run time.
// Texts are UTF-8 in the files and code page 1252 in the tables; a character the code page lacks
// is an error, so no message is silently damaged.

#include "text/Cp1252.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct List {
    std::string name;
    std::vector<std::string> entries; // code page 1252
    std::vector<bool> present;
    std::vector<std::string> names; // the entries' names; empty where a translation gives none
};

struct Language {
    std::string code;
    std::vector<List> lists;
};

[[noreturn]] void Fail(const std::string& where, const std::string& what) {
    std::cerr << where << ": error: " << what << "\n";
    std::exit(1);
}

// Entry names become C++ enumerators: a capital letter, then letters and digits.
bool IsEntryName(const std::string& name) {
    if (name.empty() || name[0] < 'A' || name[0] > 'Z') {
        return false;
    }
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    });
}

Language Read(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        Fail(path.string(), "cannot open");
    }
    Language lang;
    lang.code = path.stem().string();
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        const std::string where = path.string() + ":" + std::to_string(lineNo);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        if (line[0] == '[') {
            if (line.back() != ']' || line.size() < 3) {
                Fail(where, "malformed list header");
            }
            const std::string name = line.substr(1, line.size() - 2);
            for (const List& l : lang.lists) {
                if (l.name == name) {
                    Fail(where, "list " + name + " appears twice");
                }
            }
            lang.lists.push_back({name, {}, {}, {}});
            continue;
        }
        if (lang.lists.empty()) {
            Fail(where, "entry before the first list header");
        }
        // INDEX [NAME] "TEXT"
        const std::size_t open = line.find(" \"");
        if (open == std::string::npos || line.back() != '"' || line.size() < open + 3) {
            Fail(where, "expected INDEX [NAME] \"TEXT\"");
        }
        const std::size_t space = line.find(' ');
        const std::string entryName = space < open ? line.substr(space + 1, open - space - 1) : "";
        if (space < open && !IsEntryName(entryName)) {
            Fail(where,
                 "\"" + entryName + "\" is not a name (a letter A-Z, then letters and digits)");
        }
        int index = -1;
        try {
            std::size_t used = 0;
            index = std::stoi(line.substr(0, space), &used);
            if (used != space) {
                index = -1;
            }
        } catch (const std::exception&) {
        }
        if (index < 0) {
            Fail(where, "bad index");
        }
        const std::string text = line.substr(open + 2, line.size() - open - 3);
        if (!cvx::Utf8FitsCp1252(text)) {
            Fail(where, "text has characters outside code page 1252");
        }
        List& list = lang.lists.back();
        if (static_cast<std::size_t>(index) >= list.entries.size()) {
            list.entries.resize(index + 1);
            list.present.resize(index + 1);
            list.names.resize(index + 1);
        }
        if (list.present[index]) {
            Fail(where, "index " + std::to_string(index) + " appears twice");
        }
        if (!entryName.empty() &&
            std::find(list.names.begin(), list.names.end(), entryName) != list.names.end()) {
            Fail(where, "the name " + entryName + " appears twice in " + list.name);
        }
        list.entries[index] = cvx::Utf8ToCp1252(text);
        list.present[index] = true;
        list.names[index] = entryName;
    }
    return lang;
}

std::string CLiteral(const std::string& bytes) {
    std::ostringstream out;
    out << '"';
    for (unsigned char c : bytes) {
        if (c == '"' || c == '\\') {
            out << '\\' << c;
        } else if (c >= 0x20 && c < 0x7F && c != '?') {
            out << c;
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\%03o", c);
            out << buf;
        }
    }
    out << '"';
    return out.str();
}

std::string EnumName(const std::string& listName) {
    const std::string prefix = "GMSG_";
    return listName.rfind(prefix, 0) == 0 ? listName.substr(prefix.size()) : listName;
}

void WriteIfChanged(const std::filesystem::path& path, const std::string& content) {
    std::ifstream old(path, std::ios::binary);
    if (old) {
        std::ostringstream current;
        current << old.rdbuf();
        if (current.str() == content) {
            return;
        }
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out) {
        Fail(path.string(), "cannot write");
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::cerr << "usage: catalogue-compiler HEADER SOURCE REFERENCE.txt [TRANSLATION.txt...]\n";
        return 2;
    }
    std::vector<Language> languages;
    for (int i = 3; i < argc; ++i) {
        languages.push_back(Read(argv[i]));
    }
    const Language& reference = languages.front();
    for (const List& list : reference.lists) {
        for (std::size_t i = 0; i < list.present.size(); ++i) {
            if (!list.present[i]) {
                Fail(argv[3], list.name + " lacks index " + std::to_string(i));
            }
            if (list.names[i].empty()) {
                Fail(argv[3], list.name + " " + std::to_string(i) + " has no name");
            }
        }
    }
    std::map<std::string, std::size_t> listIndex;
    for (std::size_t i = 0; i < reference.lists.size(); ++i) {
        listIndex[reference.lists[i].name] = i;
    }
    for (std::size_t l = 1; l < languages.size(); ++l) {
        for (const List& list : languages[l].lists) {
            auto it = listIndex.find(list.name);
            if (it == listIndex.end()) {
                Fail(argv[3 + l], "unknown list " + list.name);
            }
            const List& original = reference.lists[it->second];
            if (list.entries.size() > original.entries.size()) {
                Fail(argv[3 + l], list.name + " is longer than in the reference language");
            }
            for (std::size_t i = 0; i < list.names.size(); ++i) {
                if (!list.names[i].empty() && list.names[i] != original.names[i]) {
                    Fail(argv[3 + l], list.name + " " + std::to_string(i) + " is named " +
                                          original.names[i] + " in the reference language");
                }
            }
        }
    }

    std::ostringstream h;
    h << "#pragma once\n// Generated by catalogue-compiler from data/messages; do not edit.\n\n"
      << "namespace cvx {\n\nenum class MsgList : int {\n";
    for (const List& list : reference.lists) {
        h << "    " << EnumName(list.name) << ",\n";
    }
    h << "};\n\ninline constexpr int kMessageListCount = " << reference.lists.size() << ";\n\n"
      << "// The entries by name: msg::List::Name is the entry's index in its list.\n"
      << "namespace msg {\n\n";
    for (const List& list : reference.lists) {
        h << "enum class " << EnumName(list.name) << " : int {\n";
        for (std::size_t i = 0; i < list.names.size(); ++i) {
            h << "    " << list.names[i] << " = " << i << ",\n";
        }
        h << "};\n\n";
    }
    h << "} // namespace msg\n\n"
      << "// The list whose entries an enum of msg names.\n"
      << "template <typename Name> struct MessageListOf;\n";
    for (const List& list : reference.lists) {
        const std::string e = EnumName(list.name);
        h << "template <> struct MessageListOf<msg::" << e
          << "> {\n    static constexpr MsgList list = MsgList::" << e << ";\n};\n";
    }
    h << "\n} // namespace cvx\n";

    std::ostringstream s;
    s << "// Generated by catalogue-compiler from data/messages; do not edit.\n"
      << "#include \"text/CatalogueData.h\"\n\nnamespace cvx::catalogue {\n\nnamespace {\n\n";
    for (const Language& lang : languages) {
        for (const List& list : lang.lists) {
            s << "const char* const k_" << lang.code << "_" << list.name << "[] = {\n";
            for (std::size_t i = 0; i < list.entries.size(); ++i) {
                s << "    " << (list.present[i] ? CLiteral(list.entries[i]) : "nullptr") << ",\n";
            }
            s << "};\n";
        }
        s << "const ListData k_" << lang.code << "_lists[] = {\n";
        for (const List& ref : reference.lists) {
            const List* found = nullptr;
            for (const List& list : lang.lists) {
                if (list.name == ref.name) {
                    found = &list;
                }
            }
            if (found) {
                s << "    {\"" << ref.name << "\", k_" << lang.code << "_" << ref.name << ", "
                  << found->entries.size() << "},\n";
            } else {
                s << "    {\"" << ref.name << "\", nullptr, 0},\n";
            }
        }
        s << "};\n\n";
    }
    s << "} // namespace\n\nconst LanguageData kLanguages[] = {\n";
    for (const Language& lang : languages) {
        s << "    {\"" << lang.code << "\", k_" << lang.code << "_lists},\n";
    }
    s << "};\nconst int kLanguageCount = " << languages.size()
      << ";\n\n} // namespace cvx::catalogue\n";

    WriteIfChanged(argv[1], h.str());
    WriteIfChanged(argv[2], s.str());
    return 0;
}
