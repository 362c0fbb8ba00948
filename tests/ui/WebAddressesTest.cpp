#include "ui/WebAddresses.h"

#include <gtest/gtest.h>

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

}  // namespace
