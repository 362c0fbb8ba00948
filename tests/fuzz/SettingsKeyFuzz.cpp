// SettingsKey over any folder path (UTF-16): always sixteen lowercase hex digits, whatever the
// path holds, and the same key however the path's ASCII letters are cased.

#include "FuzzTarget.h"
#include "settings/StoredFile.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::wstring directory = Utf16(data, size);
    const std::wstring key = SettingsKey(directory);
    Require(key.size() == 16, "the key has sixteen digits");
    Require(std::all_of(key.begin(), key.end(),
                        [](wchar_t c) { return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f'); }),
            "the key is lowercase hex");

    std::transform(directory.begin(), directory.end(), directory.begin(), [](wchar_t c) {
        return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
    });
    Require(SettingsKey(directory) == key, "the key ignores the case of ASCII letters");
    return 0;
}
