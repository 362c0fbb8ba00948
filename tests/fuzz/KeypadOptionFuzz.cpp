// ParseExtendedKeypad over any "tarnwick.ini" text: besides never faulting, it reads the same
// whether the lines end in LF or CR LF, and with or without a UTF-8 byte order mark.

#include "FuzzTarget.h"
#include "settings/KeypadOptionFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const bool on = ParseExtendedKeypad(text);
    if (text.find('\r') == std::string::npos) {
        std::string crlf;
        for (const char c : text) {
            crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
        }
        Require(ParseExtendedKeypad(crlf) == on, "CR LF line ends read as LF ones");
    }
    if (text.compare(0, 3, "\xEF\xBB\xBF") != 0) {
        Require(ParseExtendedKeypad("\xEF\xBB\xBF" + text) == on, "a byte order mark changes nothing");
    }
    return 0;
}
