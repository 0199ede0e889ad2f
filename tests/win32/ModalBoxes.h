#pragma once
// Answers the real modal boxes of this thread (message boxes, the Print
// dialog) as a user would, and records what each box showed. Without it a
// modal box waits forever: nobody is there to press its buttons.
#include <windows.h>

#include <string>
#include <vector>

namespace ferro::win32::testing {

struct SeenBox {
    std::string caption;
    std::string text;             // of the first static without an icon
    std::vector<int> buttons;     // control IDs of the push buttons (IDOK, IDYES, ...)
    int defaultButton = 0;
    bool hasIcon = false;
    HWND owner = nullptr;
    std::vector<HWND> enabledOthers;  // other windows of this thread still enabled while it was up
};

class ModalBoxes {
public:
    // Each box that opens is answered by pressing the button `answer` (IDOK,
    // IDNO, IDCANCEL ...).
    explicit ModalBoxes(int answer);
    ~ModalBoxes();
    ModalBoxes(const ModalBoxes&) = delete;
    ModalBoxes& operator=(const ModalBoxes&) = delete;

    const std::vector<SeenBox>& seen() const { return seen_; }

private:
    static LRESULT CALLBACK onCbt(int code, WPARAM wParam, LPARAM lParam);
    static void CALLBACK onBoxReady(HWND, UINT, UINT_PTR timer, DWORD);

    int answer_;
    HWND pending_ = nullptr;
    HHOOK hook_;
    std::vector<SeenBox> seen_;
};

}  // namespace ferro::win32::testing
