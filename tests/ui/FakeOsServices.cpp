#include "ui/FakeOsServices.h"

namespace ferro {

MsgAnswer FakeOsServices::messageBox(const DialogOwner* owner, const std::string& text,
                                     const std::string& caption, MsgButtons buttons, MsgIcon icon,
                                     MsgAnswer defaultAnswer)
{
    boxes.push_back({text, caption, buttons, icon, defaultAnswer, ui::ownerForm(owner)});
    if (whileBoxOpen)
        whileBoxOpen(boxes.back());
    if (buttons == MsgButtons::Ok)
        return MsgAnswer::Ok;
    if (answers.empty())
        return defaultAnswer;
    const MsgAnswer answer = answers.front();
    answers.pop_front();
    return answer;
}

OsServices::PrintResult FakeOsServices::printText(const DialogOwner*, const std::string& text,
                                                  const std::string& selection)
{
    ++printDialogs;
    lastDialogHadSelection = !selection.empty();
    if (printAnswer == PrintResult::Printed)
        printedTexts.push_back(selection.empty() ? text : selection);
    return printAnswer;
}

}  // namespace ferro
