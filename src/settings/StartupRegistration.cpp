#include "settings/StartupRegistration.h"

namespace {

const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run\\";
const wchar_t kValueName[] = L"tarnwick";

using Root = RegistryService::Root;

}  // namespace

void SetRunAtStartup(RegistryService& registry, const std::wstring& executablePath, bool run) {
    if (!run) {
        registry.DeleteValue(Root::LocalMachine, kRunKey, kValueName);
        registry.DeleteValue(Root::CurrentUser, kRunKey, kValueName);
        return;
    }
    if (executablePath.empty()) {
        return;
    }
    const std::wstring command = L"\"" + executablePath + L"\"";
    if (registry.SetString(Root::LocalMachine, kRunKey, kValueName, command)) {
        // A copy left for this user from a time without the rights would start a second
        // instance at log-on, which only says that the program is running.
        registry.DeleteValue(Root::CurrentUser, kRunKey, kValueName);
        return;
    }
    registry.SetString(Root::CurrentUser, kRunKey, kValueName, command);
}
