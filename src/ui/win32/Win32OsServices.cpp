#include "ui/win32/Win32OsServices.h"

#include <commdlg.h>
#include <exdisp.h>
#include <shellapi.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shobjidl.h>

#include <vector>

#include "platform/SystemFunction.h"
#include "platform/WindowsCalls.h"
#include "platform/WindowsRestart.h"
#include "ui/win32/WinText.h"

namespace ferro::win32 {

Win32OsServices::Win32OsServices(WindowOf windowOf) : windowOf_(std::move(windowOf)) {}

HWND Win32OsServices::windowOf(const DialogOwner* owner) const
{
    return owner && windowOf_ ? windowOf_(ui::ownerForm(owner)) : nullptr;
}

namespace {

// A box owned by one window disables only that window (MB_APPLMODAL), yet
// nothing else of the program may be used until the box is answered: the
// program's other windows are disabled while it is up, and only those are
// enabled again afterwards.
class OtherWindowsDisabled {
public:
    explicit OtherWindowsDisabled(HWND owner) : owner_(owner)
    {
        EnumThreadWindows(GetCurrentThreadId(), disable, reinterpret_cast<LPARAM>(this));
    }
    ~OtherWindowsDisabled()
    {
        for (const HWND window : disabled_)
            if (IsWindow(window))
                EnableWindow(window, TRUE);
    }
    OtherWindowsDisabled(const OtherWindowsDisabled&) = delete;
    OtherWindowsDisabled& operator=(const OtherWindowsDisabled&) = delete;

private:
    static BOOL CALLBACK disable(HWND window, LPARAM self)
    {
        auto& that = *reinterpret_cast<OtherWindowsDisabled*>(self);
        if (window != that.owner_ && IsWindowVisible(window) && IsWindowEnabled(window)) {
            EnableWindow(window, FALSE);
            that.disabled_.push_back(window);
        }
        return TRUE;
    }

    HWND owner_;
    std::vector<HWND> disabled_;
};

// The print dialog (comdlg32, which brings the print spooler) and the link's
// shell and COM (shell32, ole32, oleaut32) load at their first use, from the
// System folder (platform/SystemFunction.h): they cost the start-up nothing.
// Holds a COM interface and releases it.
template <class Interface>
class Com {
public:
    Com() = default;
    ~Com()
    {
        if (p_)
            p_->Release();
    }
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;
    Interface* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    void** out() { return reinterpret_cast<void**>(&p_); }
    Interface** put() { return &p_; }

private:
    Interface* p_ = nullptr;
};

class Bstr {
public:
    explicit Bstr(const std::wstring& text)
        : text_(allocate_ ? allocate_(text.c_str()) : nullptr)
    {
    }
    ~Bstr()
    {
        if (text_ && free_)
            free_(text_);
    }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR get() const { return text_; }

private:
    const decltype(&SysAllocString) allocate_ =
        systemFunction<decltype(&SysAllocString)>("oleaut32.dll", "SysAllocString");
    const decltype(&SysFreeString) free_ = systemFunction<decltype(&SysFreeString)>("oleaut32.dll", "SysFreeString");
    BSTR text_;
};

// Asks the desktop's shell (Explorer, which runs with the signed-in user's
// rights) to open `target`: started from this elevated program, the browser
// would run as administrator. False where there is no such shell to ask (no
// Explorer running, another shell, COM not set up on this thread).
bool openThroughDesktopShell(const std::wstring& target)
{
    const auto createInstance = systemFunction<decltype(&CoCreateInstance)>("ole32.dll", "CoCreateInstance");
    Com<IShellWindows> shellWindows;
    if (!createInstance || FAILED(createInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                                shellWindows.out())))
        return false;
    VARIANT none{};
    none.vt = VT_EMPTY;
    long desktopWindow = 0;
    Com<IDispatch> desktop;
    if (shellWindows->FindWindowSW(&none, &none, SWC_DESKTOP, &desktopWindow, SWFO_NEEDDISPATCH,
                                   desktop.put()) != S_OK || !desktop)
        return false;
    Com<IServiceProvider> services;
    Com<IShellBrowser> browser;
    Com<IShellView> view;
    Com<IDispatch> background;
    Com<IShellFolderViewDual> folderView;
    Com<IDispatch> application;
    Com<IShellDispatch2> shell;
    if (FAILED(desktop->QueryInterface(IID_IServiceProvider, services.out())) ||
        FAILED(services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.out())) ||
        FAILED(browser->QueryActiveShellView(view.put())) ||
        FAILED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.out())) ||
        FAILED(background->QueryInterface(IID_IShellFolderViewDual, folderView.out())) ||
        FAILED(folderView->get_Application(application.put())) || !application ||
        FAILED(application->QueryInterface(IID_IShellDispatch2, shell.out())))
        return false;
    const Bstr file(target), verb(L"open");
    VARIANT operation{}, show{};
    operation.vt = VT_BSTR;
    operation.bstrVal = verb.get();
    show.vt = VT_I4;
    show.lVal = SW_SHOWNORMAL;
    return file.get() && verb.get() && SUCCEEDED(shell->ShellExecute(file.get(), none, none, operation, show));
}

// 95, 98 and Me have ShellExecuteW as a stub only.
void openFromThisProcess(const std::string& url)
{
    if (wideRoad()) {
        if (const auto shellExecute = systemFunction<decltype(&ShellExecuteW)>("shell32.dll", "ShellExecuteW"))
            (void)shellExecute(nullptr, L"open", toWide(url).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    } else if (const auto shellExecute = systemFunction<decltype(&ShellExecuteA)>("shell32.dll", "ShellExecuteA")) {
        (void)shellExecute(nullptr, "open", toAnsi(url).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    }
}

}  // namespace

MsgAnswer Win32OsServices::messageBox(const DialogOwner* owner, const std::string& text,
                                      const std::string& caption, MsgButtons buttons, MsgIcon icon,
                                      MsgAnswer defaultAnswer)
{
    const HWND window = windowOf(owner);
    UINT style = buttons == MsgButtons::YesNo ? MB_YESNO : MB_OK;
    if (buttons == MsgButtons::YesNo && defaultAnswer == MsgAnswer::No)
        style |= MB_DEFBUTTON2;
    if (icon == MsgIcon::Information)
        style |= MB_ICONINFORMATION;
    else if (icon == MsgIcon::Warning)
        style |= MB_ICONWARNING;
    // Without an owner the box is still modal to every window of the program.
    style |= window ? MB_APPLMODAL : MB_TASKMODAL;
    const OtherWindowsDisabled modal(window);
    // Wide: a path in the text may name any folder.
    const int pressed = MessageBoxW(window, toWide(text).c_str(), toWide(caption).c_str(), style);
    if (buttons == MsgButtons::Ok)
        return MsgAnswer::Ok;
    // A box that could not be shown answers No: nothing is done unasked.
    return pressed == IDYES ? MsgAnswer::Yes : MsgAnswer::No;
}

void Win32OsServices::beep()
{
    // Without a sound device there is nothing else to do: the beep is a courtesy.
    if (!MessageBeep(MB_OK))
        (void)Beep(750, 200);
}

void Win32OsServices::openUrl(const std::string& url)
{
    const std::wstring target = toWide(url);
    // COM for this call alone: the link is the only user of it.
    const auto initialize = systemFunction<decltype(&CoInitializeEx)>("ole32.dll", "CoInitializeEx");
    const auto uninitialize = systemFunction<decltype(&CoUninitialize)>("ole32.dll", "CoUninitialize");
    const bool com = initialize && uninitialize &&
                     SUCCEEDED(initialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    // No shell to ask: opened from this process, with its rights. Above 32 is
    // success; the windows rely on no result (nothing is reported).
    if (!(com && openThroughDesktopShell(target)))
        openFromThisProcess(url);
    if (com)
        uninitialize();
}

void Win32OsServices::requestRestart(std::function<void()> refused)
{
    // Windows answers at once; a refusal is reported the same way as on
    // systems that answer later.
    if (!requestWindowsRestart() && refused)
        refused();
}

bool Win32OsServices::startProgram(const std::string& path)
{
    // The path may come from the registry, in the ANSI code page.
    return startProcess(toUtf8(path));
}

bool Win32OsServices::fileExists(const std::string& path)
{
    // The exact name only: no wildcards, and a folder of that name is no program.
    const DWORD attributes = fileAttributes(toUtf8(path));
    return !path.empty() && attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

DWORD printDialogFlags(bool hasSelection)
{
    // The driver makes the copies when it can (else the dialog offers one).
    return PD_RETURNDC | PD_NOPAGENUMS | PD_USEDEVMODECOPIESANDCOLLATE |
           (hasSelection ? PD_SELECTION : PD_NOSELECTION);
}

const std::string& textToPrint(DWORD flags, const std::string& text, const std::string& selection)
{
    return (flags & PD_SELECTION) && !selection.empty() ? selection : text;
}

OsServices::PrintResult Win32OsServices::printText(const DialogOwner* owner, const std::string& text,
                                                   const std::string& selection)
{
    const auto printDlg = systemFunction<decltype(&PrintDlgA)>("comdlg32.dll", "PrintDlgA");
    if (!printDlg)
        return PrintResult::Failed;
    PRINTDLGA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = windowOf(owner);
    dialog.Flags = printDialogFlags(!selection.empty());
    dialog.nCopies = 1;
    // The dialog hands back the chosen printer's device context: printing goes
    // there, and the system's default printer is never changed.
    bool accepted = false;
    {
        const OtherWindowsDisabled modal(dialog.hwndOwner);
        accepted = printDlg(&dialog) != 0;
    }
    // A dialog that failed to show counts as cancelled: the user printed nothing.
    if (!accepted)
        return PrintResult::Cancelled;

    const bool printed =
        dialog.hDC && printDocument(dialog.hDC, toAnsi(textToPrint(dialog.Flags, text, selection)),
                                    kApplicationTitle);
    if (dialog.hDC)
        DeleteDC(dialog.hDC);
    if (dialog.hDevMode)
        GlobalFree(dialog.hDevMode);
    if (dialog.hDevNames)
        GlobalFree(dialog.hDevNames);
    return printed ? PrintResult::Printed : PrintResult::Failed;
}

namespace {

std::vector<std::string> paragraphs(const std::string& text)
{
    std::vector<std::string> result(1);
    for (const char c : text) {
        if (c == '\n')
            result.emplace_back();
        else if (c != '\r')
            result.back() += c;
    }
    return result;
}

// The page inside one-inch margins, in the device's units, measured from the
// printable area's corner (where the device's origin is).
RECT marginRect(HDC dc)
{
    const int dpiX = GetDeviceCaps(dc, LOGPIXELSX), dpiY = GetDeviceCaps(dc, LOGPIXELSY);
    int width = GetDeviceCaps(dc, PHYSICALWIDTH), height = GetDeviceCaps(dc, PHYSICALHEIGHT);
    int offsetX = GetDeviceCaps(dc, PHYSICALOFFSETX), offsetY = GetDeviceCaps(dc, PHYSICALOFFSETY);
    if (width <= 0 || height <= 0) {  // not a printer: its whole surface is printable
        width = GetDeviceCaps(dc, HORZRES);
        height = GetDeviceCaps(dc, VERTRES);
        offsetX = offsetY = 0;
    }
    return {dpiX - offsetX, dpiY - offsetY, width - offsetX - dpiX, height - offsetY - dpiY};
}

}  // namespace

bool printDocument(HDC printer, const std::string& text, const std::string& documentName)
{
    DOCINFOA document{};
    document.cbSize = sizeof document;
    document.lpszDocName = documentName.c_str();
    if (StartDocA(printer, &document) <= 0)
        return false;

    const RECT page = marginRect(printer);
    // A printer font of the address box's kind: the screen's MS Sans Serif is
    // a bitmap font that printers do not have.
    const HFONT font = CreateFontA(-MulDiv(10, GetDeviceCaps(printer, LOGPIXELSY), 72), 0, 0, 0,
                                   FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                                   CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Arial");
    bool ok = font != nullptr && page.right > page.left && StartPage(printer) > 0;
    const HGDIOBJ previous = ok ? SelectObject(printer, font) : nullptr;
    constexpr UINT kFormat = DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS;
    int top = page.top;
    for (const std::string& paragraph : paragraphs(text)) {
        if (!ok)
            break;
        // An empty line still takes a line's height.
        const std::string line = paragraph.empty() ? " " : paragraph;
        RECT box{page.left, top, page.right, top};
        const int height = DrawTextA(printer, line.c_str(), static_cast<int>(line.size()), &box,
                                     kFormat | DT_CALCRECT);
        if (top + height > page.bottom && top > page.top) {
            ok = EndPage(printer) > 0 && StartPage(printer) > 0 && SelectObject(printer, font);
            top = page.top;
            box = {page.left, top, page.right, top};
        }
        box.top = top;
        box.bottom = top + height;
        ok = ok && DrawTextA(printer, line.c_str(), static_cast<int>(line.size()), &box, kFormat) > 0;
        top += height;
    }
    ok = ok && EndPage(printer) > 0;
    if (previous)
        SelectObject(printer, previous);
    if (font)
        DeleteObject(font);
    if (!ok) {
        AbortDoc(printer);
        return false;
    }
    return EndDoc(printer) > 0;
}

}  // namespace ferro::win32
