// FerroWinder for Windows: the splash, then the main window, as plain Win32
// windows over the real registry.
#include <windows.h>

#include <commctrl.h>

#include <exception>
#include <memory>

#include "app/AppWindows.h"
#include "platform/DefaultRegistry.h"
#include "ui/win32/SystemLibraries.h"
#include "ui/win32/Win32OsServices.h"
#include "ui/win32/Win32Renderer.h"
#include "ui/win32/WinText.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    using namespace ferro;
    // Before anything loads a DLL by name: none from the Downloads folder.
    win32::restrictDllSearchToSystem();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
    // The common controls before version 6 (98, Me, 2000) may refuse a class
    // they do not know: the classes of Windows 95 then, which is all they have.
    INITCOMMONCONTROLSEX older{sizeof older, ICC_WIN95_CLASSES};
    if (!InitCommonControlsEx(&controls) && !InitCommonControlsEx(&older)) {
        MessageBoxA(nullptr, "The common controls of Windows are not available.", kApplicationTitle.c_str(),
                    MB_OK | MB_ICONWARNING);
        return 1;
    }
    int exitCode = 1;
    try {
        win32::Win32Renderer renderer(instance);
        win32::Win32OsServices os([&renderer](const ui::Form* form) { return renderer.windowOf(form); });
        const std::unique_ptr<RegistryBackend> registry = openRegistry();
        AppWindows windows({os, *registry, programFolder()}, renderer);
        windows.showSplash();
        exitCode = renderer.run();
    } catch (const std::exception& e) {
        MessageBoxA(nullptr, (std::string("FerroWinder cannot go on:\n") + e.what()).c_str(),
                    kApplicationTitle.c_str(), MB_OK | MB_ICONWARNING);
    }
    return exitCode;
}
