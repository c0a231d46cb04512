#pragma once
// The driver's view of Lexmill: its C interface with C++ strings. Text results are fetched with
// a buffer that grows to the text's length; zero bytes in texts handed over become blanks, since
// the interface takes zero-terminated text.

#include "lexmill/Lexmill.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>

namespace cvx::vorodud::lx {

// A text result of an operation that fills a caller's buffer and returns the text's length. The
// buffer is the thread's own and keeps the largest size it needed, so an operation is called a
// second time only when its text is longer than any before it (fields are made anew each call).
// The view is good until the next fetch through the same operation's wrapper.
template <typename Call> std::string_view FetchView(Call&& call) {
    thread_local std::string buffer(4096, '\0');
    const size_t n = call(buffer.data(), buffer.size());
    if (n >= buffer.size()) {
        buffer.resize(n + 1);
        call(buffer.data(), buffer.size());
    }
    return {buffer.data(), n};
}
template <typename Call> std::string Fetch(Call&& call) {
    return std::string(FetchView(std::forward<Call>(call)));
}

// Zero-terminated text for the interface.
std::string Arg(std::string_view text);
// The same for a text of the caller's own, changed in place.
std::string Arg(std::string&& text);

// Line `index` of the line table, good until the next call.
inline std::string_view LineView(int index) {
    return FetchView([&](char* b, size_t n) { return lexmill_GetAllLines(index, b, n); });
}
inline std::string Line(int index) {
    return std::string(LineView(index));
}
// The first `width` bytes of line `index` (fewer when it is shorter), without a copy of the
// rest.
inline std::string LineStart(int index, size_t width) {
    std::string start(width, '\0');
    start.resize(std::min(lexmill_GetAllLines(index, start.data(), width + 1), width));
    return start;
}
inline int LineCount() {
    return lexmill_GetMLine();
}
// The joined field that begins at line `index`, good until the next call.
inline std::string_view ShortTaggedFieldView(int index) {
    return FetchView([&](char* b, size_t n) { return lexmill_ReadShortTaggedField(index, b, n); });
}
inline std::string ShortTaggedField(int index) {
    return std::string(ShortTaggedFieldView(index));
}
inline std::string IdField(std::string_view tag) {
    const std::string t = Arg(tag);
    return Fetch([&](char* b, size_t n) { return lexmill_GetIdString(t.c_str(), b, n); });
}
inline std::string LongSource(std::string_view tag) {
    const std::string t = Arg(tag);
    return Fetch([&](char* b, size_t n) { return lexmill_ReadLongSourceStr(t.c_str(), b, n); });
}
inline std::string LongAuthors(std::string_view tag) {
    const std::string t = Arg(tag);
    return Fetch([&](char* b, size_t n) { return lexmill_GetLongAutString(t.c_str(), b, n); });
}
inline std::string IdContent() {
    return Fetch([](char* b, size_t n) { return lexmill_GetIdStrContent(b, n); });
}
inline std::string PagesText() {
    return Fetch([](char* b, size_t n) { return lexmill_GetPages(b, n); });
}
// True when the run met a fatal error (a source that cannot be opened, a failed write).
bool RunFailed();

} // namespace cvx::vorodud::lx
