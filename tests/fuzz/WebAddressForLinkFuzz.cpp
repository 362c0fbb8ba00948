// WebAddressForLink over any link text: what it returns is the link itself or the link after
// "http://", and always begins with a scheme (a letter, then letters, digits, '+', '-' or '.',
// then ':'), so the web handler never takes it for a file or a program to start.

#include "FuzzTarget.h"
#include "ui/WebAddresses.h"

namespace {

bool BeginsWithScheme(const std::string& address) {
    const auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    if (address.empty() || !letter(address[0])) {
        return false;
    }
    for (const char c : address.substr(1)) {
        if (c == ':') {
            return true;
        }
        if (!letter(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.') {
            return false;
        }
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string link(reinterpret_cast<const char*>(data), size);
    const std::string address = WebAddressForLink(link);
    Require(address == link || address == "http://" + link, "the link is kept whole");
    Require(BeginsWithScheme(address), "the address begins with a scheme");
    return 0;
}
