#include "ui/WebAddresses.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace {

TEST(WebAddressesTest, LinksWithoutSchemeOpenOverHttp) {
    const std::pair<const char*, const char*> table[] = {
        {"www.example.com", "http://www.example.com"},
        {"www.example.com:8080/a", "http://www.example.com:8080/a"},
        {"http://www.example.com", "http://www.example.com"},
        {"https://example.com/x?y=1", "https://example.com/x?y=1"},
        {"mailto:someone@example.com", "mailto:someone@example.com"},
        {"svn+ssh://host/repo", "svn+ssh://host/repo"},
        {"1www.example.com", "http://1www.example.com"},
        {":www", "http://:www"},
    };
    for (const auto& [link, address] : table) {
        EXPECT_EQ(WebAddressForLink(link), address) << link;
    }
}

TEST(WebAddressesTest, InternetExplorerIsStartedOnlyByAFullPathThatExists) {
    const std::wstring registered = L"D:\\IE\\iexplore.exe";
    const std::wstring installed = L"C:\\Program Files\\Internet Explorer\\iexplore.exe";
    struct Case {
        std::wstring registered;
        std::wstring programFiles;
        std::set<std::wstring> files;
        std::wstring chosen;
    };
    const Case table[] = {
        {registered, L"C:\\Program Files", {registered, installed}, registered},
        {L"\"" + registered + L"\"", L"C:\\Program Files", {registered}, registered},
        {registered, L"C:\\Program Files", {installed}, installed},
        {L"", L"C:\\Program Files", {installed}, installed},
        {L"iexplore.exe", L"C:\\Program Files", {L"iexplore.exe", installed}, installed},
        {L"iexplore.exe", L"", {L"iexplore.exe", L"\\Internet Explorer\\iexplore.exe"}, L""},
        {L"\\\\server\\ie.exe", L"", {L"\\\\server\\ie.exe"}, L"\\\\server\\ie.exe"},
        {registered, L"C:\\Program Files", {}, L""},
    };
    for (const Case& c : table) {
        const auto exists = [&](const std::wstring& path) { return c.files.count(path) > 0; };
        EXPECT_EQ(InternetExplorerPath(c.registered, c.programFiles, exists), c.chosen);
    }
}

}  // namespace
