// Any registered value and ProgramFiles folder: existence is asked only of full paths (a bare
// name would be looked up where downloads land), and the result is empty or a path that exists.
// Input: a byte whose bits answer `exists` call by call, then UTF-16 text: the registered value,
// a NUL, the ProgramFiles folder.

#include "FuzzTarget.h"
#include "ui/WebAddresses.h"

#include <set>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::wstring text = Utf16(data + 1, size - 1);
    const std::size_t split = std::min(text.find(L'\0'), text.size());
    unsigned calls = 0;
    std::set<std::wstring> existing;
    const auto exists = [&](const std::wstring& path) {
        const auto separator = [](wchar_t c) { return c == L'\\' || c == L'/'; };
        Require(path.size() > 2 &&
                    ((path[1] == L':' && separator(path[2])) || (separator(path[0]) && separator(path[1]))),
                "only full paths are looked up");
        const bool found = calls < 8 && ((data[0] >> calls++) & 1U) != 0;
        return found && existing.insert(path).second;
    };
    const std::wstring path =
        InternetExplorerPath(text.substr(0, split), split < text.size() ? text.substr(split + 1) : L"", exists);
    Require(path.empty() || existing.count(path) == 1, "the path returned is one that exists");
    return 0;
}
