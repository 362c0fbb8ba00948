#include "platform/Application.h"

#include "platform/ModulePath.h"

namespace {
Application* theApplication = nullptr;
}  // namespace

Application::Application() { theApplication = this; }

Application::~Application() { theApplication = nullptr; }

Application* Application::Instance() { return theApplication; }

int Application::Run() {
    const std::wstring path = ExecutableFullPath();
    const std::size_t nameStart = path.find_last_of(L"\\/") + 1;  // npos + 1 is 0
    const std::size_t extension = path.rfind(L'.');
    name_ = path.substr(nameStart, extension == std::wstring::npos || extension < nameStart
                                       ? std::wstring::npos
                                       : extension - nameStart);
    InitInstance();
    return 0;
}

int Application::ShowMessage(const char* text, UINT type) const {
    if ((type & (MB_TYPEMASK | MB_ICONMASK)) == MB_OK) {
        type |= MB_ICONEXCLAMATION;
    }
    // The caption is the one ANSI text made from the name; a character the code page
    // lacks shows as '?' there, which is harmless in a caption.
    std::string caption(name_.size() * 2 + 1, '\0');
    caption.resize(static_cast<std::size_t>(
        WideCharToMultiByte(CP_ACP, 0, name_.c_str(), static_cast<int>(name_.size()), caption.data(),
                            static_cast<int>(caption.size()), nullptr, nullptr)));
    return ::MessageBoxA(nullptr, text, caption.c_str(), type);
}
