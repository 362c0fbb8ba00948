#pragma once

#include <windows.h>

#include <string>

// The one application object, constructed statically; WinMain hands the process to
// its InitInstance, and the process ends when that returns.
class Application {
public:
    Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;
    virtual ~Application();

    static Application* Instance();

    // Runs the program; its result is the process's exit code.
    int Run();

    // The executable's base name, in UTF-16 as the file system spells it: the program has
    // no title string of its own.
    const std::wstring& Name() const { return name_; }

    // A message box captioned with Name(); an OK box without an icon gets the
    // exclamation mark.
    int ShowMessage(const char* text, UINT type) const;

protected:
    // The whole program runs inside it.
    virtual BOOL InitInstance() = 0;

private:
    std::wstring name_;
};
