#include "ui/WebAddresses.h"

#include <cctype>

const char* HomePageAddress() { return TARNWICK_HOME_PAGE; }

const char* MoreSoftwareAddress() { return TARNWICK_MORE_SOFTWARE; }

std::string ManualText() {
    std::string text = "Usage Manual:\r\n";
    text += "Keypad 1: Left click\r\n";
    text += "Keypad 2: Middle click\r\n";
    text += "Keypad 3: Right click\r\n";
    text += "Keypad 4,5,6,8: Moves mouse left, down, right, up.\r\n";
    text += std::string("HomePage: ") + HomePageAddress() + "\r\n";
    text += std::string("More Software: ") + MoreSoftwareAddress() + "\r\n";
    return text;
}

std::string DonationAddress() {
    return std::string("https://") + TARNWICK_PAYPAL_HOST +
           "/cgi-bin/webscr?cmd=_s-xclick&hosted_button_id=" + TARNWICK_DONATE_BUTTON_ID;
}

// A scheme is a letter, then letters, digits, '+' or '-', then ':'. The dot that schemes may
// also hold is left out, so that "www.example.com:8080" counts as a bare host.
std::string WebAddressForLink(const std::string& link) {
    std::size_t end = 0;
    while (end < link.size() &&
           (std::isalpha(static_cast<unsigned char>(link[end])) ||
            (end > 0 && (std::isdigit(static_cast<unsigned char>(link[end])) || link[end] == '+' ||
                         link[end] == '-')))) {
        ++end;
    }
    const bool hasScheme = end > 0 && end < link.size() && link[end] == ':';
    return hasScheme ? link : "http://" + link;
}

namespace {

// "C:\..." or a network path, "\\server\...".
bool IsFullPath(const std::wstring& path) {
    if (path.size() < 3) {
        return false;
    }
    const auto separator = [](wchar_t c) { return c == L'\\' || c == L'/'; };
    const wchar_t letter = path[0];
    const bool drive = ((letter >= L'A' && letter <= L'Z') || (letter >= L'a' && letter <= L'z')) &&
                       path[1] == L':' && separator(path[2]);
    return drive || (separator(path[0]) && separator(path[1]));
}

}  // namespace

std::wstring InternetExplorerPath(std::wstring registered, const std::wstring& programFiles,
                                  const std::function<bool(const std::wstring&)>& exists) {
    if (registered.size() >= 2 && registered.front() == L'"' && registered.back() == L'"') {
        registered = registered.substr(1, registered.size() - 2);
    }
    for (const std::wstring& path :
         {registered, programFiles + L"\\Internet Explorer\\iexplore.exe"}) {
        if (IsFullPath(path) && exists(path)) {
            return path;
        }
    }
    return std::wstring();
}
