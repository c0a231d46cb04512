#include "text/FileNames.h"

#include "text/Cp1252.h"
#include "text/StringPrimitives.h"
#include "text/TextMode.h"

namespace cvx {

namespace {

bool IsDriveColon(std::string_view path, std::size_t i) {
    return i == 1 && path[1] == ':' &&
           ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

// Index of the last separator ("/", "\" or a drive colon), npos when there is none. In
// Shift-JIS mode a "\" that is the trail byte of a double-byte character does not count.
std::size_t LastSeparator(std::string_view path) {
    std::size_t last = std::string_view::npos;
    std::size_t i = 0;
    while (i < path.size()) {
        if (IsDoubleByteAt(path, i)) {
            i += 2;
            continue;
        }
        if (IsPathSeparator(path[i]) || IsDriveColon(path, i)) {
            last = i;
        }
        ++i;
    }
    return last;
}

// Index of the "." that starts the extension, npos when the name has none.
std::size_t ExtensionDot(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) {
        return dot;
    }
    const std::size_t sep = LastSeparator(name);
    return (sep == std::string_view::npos || dot > sep) ? dot : std::string_view::npos;
}

} // namespace

bool IsPathSeparator(char c) {
    return c == '/' || c == '\\';
}

std::string ChangeExt(std::string_view name, std::string_view ext) {
    const std::size_t dot = ExtensionDot(name);
    if (dot == std::string_view::npos) {
        return std::string(name) + "." + std::string(ext);
    }
    return std::string(name.substr(0, dot + 1)) + std::string(ext);
}

std::string DefaultExt(std::string_view name, std::string_view ext) {
    if (ExtensionDot(name) != std::string_view::npos) {
        return std::string(name);
    }
    return std::string(name) + "." + std::string(ext);
}

std::string ExtOf(std::string_view name) {
    const std::size_t dot = ExtensionDot(name);
    if (dot == std::string_view::npos) {
        return {};
    }
    return std::string(name.substr(dot + 1, 3));
}

std::string WholeExtOf(std::string_view name) {
    const std::size_t dot = ExtensionDot(name);
    return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot + 1));
}

std::string BaseName(std::string_view path) {
    const std::size_t sep = LastSeparator(path);
    return std::string(sep == std::string_view::npos ? path : path.substr(sep + 1));
}

std::string FileNameOf(std::string_view path) {
    return BaseName(path).substr(0, 64);
}

std::string DirOf(std::string_view path) {
    const std::size_t sep = LastSeparator(path);
    if (sep == std::string_view::npos) {
        return {};
    }
    // The separator stays when it follows a drive colon or is the root of an absolute path.
    if (IsDriveColon(path, sep) || sep == 0 || (sep == 2 && IsDriveColon(path, 1))) {
        return std::string(path.substr(0, sep + 1));
    }
    return std::string(path.substr(0, sep));
}

std::string AddBackslash(std::string_view dir) {
    if (!dir.empty() && (IsPathSeparator(dir.back()) || dir.back() == ':')) {
        return std::string(dir);
    }
    const bool windowsStyle = dir.find('\\') != std::string_view::npos;
    return std::string(dir) + (windowsStyle ? "\\" : "/");
}

std::string ShortPathName(std::string_view path) {
    return std::string(path);
}

std::string OutputName(std::string_view name) {
    const std::size_t sep = LastSeparator(name);
    const std::size_t start = sep == std::string_view::npos ? 0 : sep + 1;
    const std::size_t dot = name.find('.', start);
    if (dot == std::string_view::npos) {
        return std::string(name) + "_OUT";
    }
    return std::string(name.substr(0, dot)) + "_OUT" + std::string(name.substr(dot));
}

std::string DisplayPath(std::string_view path) {
    return Utf8ToCp1252(path);
}

void RecentList::Add(std::string_view text) {
    const std::string key = match_ == Match::DigitPattern ? DigitPattern(text) : std::string();
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        const bool equal = match_ == Match::DigitPattern ? DigitPattern(*it) == key : *it == text;
        if (equal) {
            entries_.erase(it);
            break;
        }
    }
    entries_.emplace_front(text);
    if (entries_.size() > kCapacity) {
        entries_.pop_back();
    }
}

void RecentList::Assign(std::deque<std::string> entries) {
    entries_ = std::move(entries);
    while (entries_.size() > kCapacity) {
        entries_.pop_back();
    }
}

} // namespace cvx
