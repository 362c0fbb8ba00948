#include "platform/Application.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    Application* application = Application::Instance();
    return application ? application->Run() : 1;
}
