// Any "tarnwick.ini" text: a UTF-8 byte order mark before it changes nothing.

#include "FuzzTarget.h"
#include "settings/KeypadOptionFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const bool on = ParseExtendedKeypad(text);
    Require(text.compare(0, 3, "\xEF\xBB\xBF") == 0 || ParseExtendedKeypad("\xEF\xBB\xBF" + text) == on,
            "a byte order mark changes nothing");
    return 0;
}
