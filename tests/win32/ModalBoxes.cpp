#include "win32/ModalBoxes.h"

#include <stdexcept>
#include <utility>

namespace ferro::win32::testing {
namespace {

thread_local ModalBoxes* current = nullptr;

std::string className(HWND window)
{
    char name[64] = {};
    return GetClassNameA(window, name, sizeof name) > 0 ? name : "";
}

std::string windowText(HWND window)
{
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

BOOL CALLBACK collect(HWND child, LPARAM found)
{
    SeenBox& box = *reinterpret_cast<SeenBox*>(found);
    const std::string kind = className(child);
    const LONG style = GetWindowLongA(child, GWL_STYLE);
    if (kind == "Static") {
        if ((style & SS_TYPEMASK) == SS_ICON)
            box.hasIcon = box.hasIcon || SendMessageA(child, STM_GETICON, 0, 0) != 0;
        else if (box.text.empty())
            box.text = windowText(child);
    } else if (kind == "Button" && (style & BS_TYPEMASK) <= BS_DEFPUSHBUTTON && (style & WS_VISIBLE)) {
        box.buttons.push_back(GetDlgCtrlID(child));
        // The button Enter presses (DM_GETDEFID is not reliable in message boxes).
        if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            box.defaultButton = GetDlgCtrlID(child);
    }
    return TRUE;
}

}  // namespace

ModalBoxes::ModalBoxes(int answer)
    : answer_(answer), hook_(SetWindowsHookExA(WH_CBT, onCbt, nullptr, GetCurrentThreadId()))
{
    if (!hook_)
        throw std::runtime_error("cannot hook this thread's windows");
    current = this;
}

ModalBoxes::~ModalBoxes()
{
    current = nullptr;
    UnhookWindowsHookEx(hook_);
}

LRESULT CALLBACK ModalBoxes::onCbt(int code, WPARAM wParam, LPARAM lParam)
{
    const HWND window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && current && className(window) == "#32770") {
        current->pending_ = window;
        // Read and answered from the box's own message loop, once its buttons
        // and default button are set up.
        SetTimer(nullptr, 0, 0, onBoxReady);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK ModalBoxes::onBoxReady(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    if (!current || !current->pending_ || !IsWindow(current->pending_))
        return;
    const HWND window = current->pending_;
    current->pending_ = nullptr;
    SeenBox box;
    box.caption = windowText(window);
    box.owner = GetWindow(window, GW_OWNER);
    EnumChildWindows(window, collect, reinterpret_cast<LPARAM>(&box));
    std::pair<HWND, SeenBox*> search{window, &box};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND other, LPARAM found) -> BOOL {
            auto& box = *reinterpret_cast<std::pair<HWND, SeenBox*>*>(found);
            if (other != box.first && IsWindowVisible(other) && IsWindowEnabled(other))
                box.second->enabledOthers.push_back(other);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    current->seen_.push_back(box);
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(current->answer_, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, current->answer_)));
}

}  // namespace ferro::win32::testing
