// Any folder path: the key is sixteen lowercase hex digits.

#include "FuzzTarget.h"
#include "settings/StoredFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring key = SettingsKey(Utf16(data, size));
    Require(key.size() == 16 && key.find_first_not_of(L"0123456789abcdef") == std::wstring::npos,
            "the key is sixteen lowercase hex digits");
    return 0;
}
