// InternetExplorerPath over any registered value and ProgramFiles folder: it asks whether a
// file exists only for full paths, and returns either nothing or a path it was told exists.
//
// Input: one byte whose bits answer `exists`, call by call; then UTF-16 text, the registered
// value up to the first NUL unit and the ProgramFiles folder after it.

#include "FuzzTarget.h"
#include "ui/WebAddresses.h"

#include <set>

namespace {

// "C:\..." or "\\server\..."; either separator.
bool IsFullPath(const std::wstring& path) {
    const auto separator = [](wchar_t c) { return c == L'\\' || c == L'/'; };
    const auto letter = [](wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); };
    return path.size() >= 3 && ((letter(path[0]) && path[1] == L':' && separator(path[2])) ||
                                (separator(path[0]) && separator(path[1])));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const unsigned answers = data[0];
    const std::wstring text = Utf16(data + 1, size - 1);
    const std::size_t split = text.find(L'\0');
    const std::wstring registered = text.substr(0, split);
    const std::wstring programFiles = split == std::wstring::npos ? std::wstring() : text.substr(split + 1);

    unsigned calls = 0;
    std::set<std::wstring> existing;
    const auto exists = [&](const std::wstring& path) {
        Require(IsFullPath(path), "only full paths are looked up");
        const bool found = calls < 8 && ((answers >> calls) & 1U) != 0;
        ++calls;
        if (found) {
            existing.insert(path);
        }
        return found;
    };
    const std::wstring path = InternetExplorerPath(registered, programFiles, exists);
    Require(path.empty() || existing.count(path) == 1, "the path returned is one that exists");
    return 0;
}
