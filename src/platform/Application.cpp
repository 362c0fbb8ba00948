#include "platform/Application.h"

#include "platform/ModulePath.h"

namespace {
Application* theApplication = nullptr;
}  // namespace

Application::Application() { theApplication = this; }

Application::~Application() { theApplication = nullptr; }

Application* Application::Instance() { return theApplication; }

int Application::Run() {
    const std::string path = ExecutableFullPath();
    const std::size_t nameStart = path.find_last_of("\\/") + 1;  // npos + 1 is 0
    const std::size_t extension = path.rfind('.');
    name_ = path.substr(nameStart, extension == std::string::npos || extension < nameStart
                                       ? std::string::npos
                                       : extension - nameStart);
    InitInstance();
    return 0;
}

int Application::ShowMessage(const char* text, UINT type) const {
    if ((type & (MB_TYPEMASK | MB_ICONMASK)) == MB_OK) {
        type |= MB_ICONEXCLAMATION;
    }
    return ::MessageBoxA(nullptr, text, name_.c_str(), type);
}
