// Any "tarnwick.ini" text: a UTF-8 byte order mark before it changes nothing.

#include "FuzzTarget.h"
#include "settings/KeypadOptionFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const KeypadOptions options = ParseKeypadOptions(text);
    const KeypadOptions marked = ParseKeypadOptions("\xEF\xBB\xBF" + text);
    Require(text.compare(0, 3, "\xEF\xBB\xBF") == 0 ||
                (marked.extended == options.extended && marked.letters == options.letters),
            "a byte order mark changes nothing");
    return 0;
}
