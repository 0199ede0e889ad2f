#include "ui/win32/Win32Renderer.h"

#include <stdexcept>

#include "ui/win32/Win32View.h"

namespace ferro::win32 {
namespace {

constexpr const char* kTaskClass = "FerroWinderTasks";
constexpr UINT kRunPosted = WM_APP + 1;

}  // namespace

Win32Renderer::Win32Renderer(HINSTANCE instance) : instance_(instance)
{
    WNDCLASSEXA tasks{};
    tasks.cbSize = sizeof tasks;
    tasks.lpfnWndProc = taskProc;
    tasks.hInstance = instance;
    tasks.lpszClassName = kTaskClass;
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    if (!GetClassInfoExA(instance, kTaskClass, &existing) && !RegisterClassExA(&tasks))
        throw std::runtime_error("cannot register the window class of posted work");
    tasks_ = CreateWindowExA(0, kTaskClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    hiddenOwner_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
    if (!tasks_ || !hiddenOwner_)
        throw std::runtime_error("cannot create the program's hidden windows");
    SetWindowLongPtrA(tasks_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32Renderer::~Win32Renderer()
{
    DestroyWindow(tasks_);
    DestroyWindow(hiddenOwner_);
}

std::unique_ptr<ui::FormView> Win32Renderer::createView(ui::Form& form, const ui::Form* owner)
{
    HWND ownerWindow = windowOf(owner);
    // A window that is no taskbar entry of its own needs an owner.
    if (!ownerWindow && !form.definition().showInTaskbar)
        ownerWindow = hiddenOwner_;
    return std::make_unique<Win32View>(*this, form, ownerWindow);
}

void Win32Renderer::post(std::function<void()> task)
{
    posted_.push_back(std::move(task));
    PostMessageA(tasks_, kRunPosted, 0, 0);
}

void Win32Renderer::quit()
{
    quitting_ = true;
    PostQuitMessage(0);
}

HWND Win32Renderer::windowOf(const ui::Form* form) const
{
    const Win32View* found = view(form);
    return found ? found->window() : nullptr;
}

Win32View* Win32Renderer::view(const ui::Form* form) const
{
    const auto found = form ? views_.find(form) : views_.end();
    return found == views_.end() ? nullptr : found->second;
}

void Win32Renderer::runPosted()
{
    while (!posted_.empty()) {
        const std::function<void()> task = std::move(posted_.front());
        posted_.pop_front();
        task();
    }
}

LRESULT CALLBACK Win32Renderer::taskProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kRunPosted)
        if (auto* renderer = reinterpret_cast<Win32Renderer*>(GetWindowLongPtrA(window, GWLP_USERDATA))) {
            renderer->runPosted();
            return 0;
        }
    return DefWindowProcA(window, message, wParam, lParam);
}

void Win32Renderer::dispatch(MSG& message)
{
    const HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    Win32View* view = nullptr;
    for (const auto& [form, candidate] : views_)
        if (root && candidate->window() == root)
            view = candidate;
    if (view && message.message == WM_CHAR) {
        // Every form previews the character keys typed in it.
        view->deliver("", ui::Event::KeyPress, static_cast<int>(message.wParam));
        if (!IsWindow(message.hwnd))
            return;
    }
    // Tab, the arrow keys, Enter, Escape and the access keys, as in a dialog.
    if (view && IsWindow(root) && IsDialogMessageA(root, &message))
        return;
    TranslateMessage(&message);
    DispatchMessageA(&message);
}

int Win32Renderer::run()
{
    MSG message{};
    for (;;) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0)
            return static_cast<int>(message.wParam);
        if (got == -1)
            return 1;
        dispatch(message);
    }
}

bool Win32Renderer::processPending()
{
    MSG message{};
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Left for the message loop, which then ends.
            PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        dispatch(message);
    }
    return !quitting_;
}

}  // namespace ferro::win32
