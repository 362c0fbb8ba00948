// Any link text: the address is the link, whole, or the link after "http://", and names a
// scheme, so the web handler never takes it for a file or a program to start.

#include "FuzzTarget.h"
#include "ui/WebAddresses.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string link(reinterpret_cast<const char*>(data), size);
    const std::string address = WebAddressForLink(link);
    Require(address == link || address == "http://" + link, "the link is kept whole");
    const std::size_t colon = address.find_first_not_of(
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789+-.");
    Require(colon > 0 && colon != std::string::npos && address[colon] == ':', "the address names a scheme");
    return 0;
}
