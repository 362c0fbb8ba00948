#pragma once

// The manual's text and the web addresses the program opens. The addresses are settings of
// the build (see CMakeLists.txt); nothing here needs <windows.h>.

#include <functional>
#include <string>

// The product's home page and the site with further programs, without a scheme ("www....").
const char* HomePageAddress();
const char* MoreSoftwareAddress();

// The seven lines of the usage manual, each ending in "\r\n".
std::string ManualText();

// The PayPal page of the donation button.
std::string DonationAddress();

// What to hand the default web handler for a link of the manual: the link itself when it
// names its scheme ("https://...", "mailto:..."), else the link after "http://".
std::string WebAddressForLink(const std::string& link);

// The Internet Explorer to start for a link: the path Windows registers for it (`registered`,
// perhaps in double quotes), else "Internet Explorer\\iexplore.exe" under `programFiles`,
// whichever comes first as a full path to a file that `exists`. Empty when neither does, for a
// bare or relative name would be looked up in the current folder, where downloads land.
std::wstring InternetExplorerPath(std::wstring registered, const std::wstring& programFiles,
                                  const std::function<bool(const std::wstring&)>& exists);
