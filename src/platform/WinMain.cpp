#include "platform/Application.h"
#include "platform/SystemLibrary.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    RestrictLibrarySearchToSystemFolder();
    Application* application = Application::Instance();
    return application ? application->Run() : 1;
}
