#include "settings/StartupRegistration.h"

#include "platform/FakeServices.h"

#include <gtest/gtest.h>

namespace {

using Root = RegistryService::Root;

const std::wstring kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run\\";
// Spaces and a name outside any one code page: the path passes untouched, in quotes.
const std::wstring kPath = L"C:\\Program Files\\\u0422\u0435\u0441\u0442 \u30C6\u30B9\u30C8\\tarnwick.exe";
const std::wstring kCommand = L"\"" + kPath + L"\"";

FakeRegistry::Value RunValue(Root root) { return {root, kRunKey, L"tarnwick"}; }

TEST(StartupRegistrationTest, TickingWritesTheQuotedPathMachineWideAndClearingDeletesIt) {
    FakeRegistry registry;
    registry.values[RunValue(Root::CurrentUser)] = L"\"C:\\Old\\tarnwick.exe\"";  // from a run without rights
    registry.values[{Root::LocalMachine, kRunKey, L"other"}] = L"other.exe";

    SetRunAtStartup(registry, kPath, true);
    EXPECT_EQ(registry.values, (std::map<FakeRegistry::Value, std::wstring>{
                                   {RunValue(Root::LocalMachine), kCommand},
                                   {{Root::LocalMachine, kRunKey, L"other"}, L"other.exe"},
                               }))
        << "written once, so that log-on starts one copy";

    SetRunAtStartup(registry, kPath, false);
    EXPECT_EQ(registry.values.size(), 1u);
    EXPECT_EQ(registry.values.count(RunValue(Root::LocalMachine)), 0u);
}

TEST(StartupRegistrationTest, WithoutRightsOnTheMachineTheValueGoesToTheUser) {
    FakeRegistry registry;
    registry.refused.insert(Root::LocalMachine);

    SetRunAtStartup(registry, kPath, true);
    EXPECT_EQ(registry.values,
              (std::map<FakeRegistry::Value, std::wstring>{{RunValue(Root::CurrentUser), kCommand}}));

    SetRunAtStartup(registry, kPath, false);
    EXPECT_TRUE(registry.values.empty());
    SetRunAtStartup(registry, kPath, false);  // nothing left to delete
    EXPECT_TRUE(registry.values.empty());
}

TEST(StartupRegistrationTest, AnUnknownPathWritesNothing) {
    FakeRegistry registry;
    SetRunAtStartup(registry, L"", true);
    EXPECT_TRUE(registry.values.empty());
}

}  // namespace
