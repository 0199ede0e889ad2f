#include "ui/qt/QtOsServices.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QUrl>

#include "ui/qt/ClassicLook.h"
#include "ui/qt/Pictures.h"
#include "ui/qt/ProgramModules.h"
#include "ui/qt/QtPrinting.h"
#include "ui/qt/QtRenderer.h"

namespace ferro::qt {
namespace {

QMessageBox::Icon boxIcon(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Information: return QMessageBox::Information;
    case MsgIcon::Warning: return QMessageBox::Warning;
    case MsgIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QString qText(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

QWidget* QtOsServices::window(const DialogOwner* owner) const
{
    return renderer_ ? renderer_->window(ui::ownerForm(owner)) : nullptr;
}

MsgAnswer QtOsServices::messageBox(const DialogOwner* owner, const std::string& text, const std::string& caption,
                                   MsgButtons buttons, MsgIcon icon, MsgAnswer defaultAnswer)
{
    QMessageBox box(boxIcon(icon), qText(caption), qText(text), QMessageBox::NoButton, window(owner));
    // A box over a window shows that window's icon; one on its own, the program's.
    if (!box.parentWidget())
        box.setWindowIcon(applicationIcon());
    // Plain text: the texts are shown as written, never read as markup.
    box.setTextFormat(Qt::PlainText);
    if (buttons == MsgButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(defaultAnswer == MsgAnswer::No ? QMessageBox::No : QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
    }
    const int pressed = box.exec();
    if (buttons == MsgButtons::Ok)
        return MsgAnswer::Ok;
    // Closing a Yes/No box from its title bar counts as No.
    return pressed == QMessageBox::Yes ? MsgAnswer::Yes : MsgAnswer::No;
}

void QtOsServices::beep()
{
    QApplication::beep();
}

void QtOsServices::openUrl(const std::string& url)
{
    QDesktopServices::openUrl(QUrl(qText(url)));
}

bool QtOsServices::startProgram(const std::string& path)
{
    // The path is the program itself, with no arguments: no shell reads it.
    return QProcess::startDetached(qText(path), {});
}

bool QtOsServices::fileExists(const std::string& path)
{
    // A program file: a folder of that name does not count.
    return QFileInfo(qText(path)).isFile();
}

OsServices::PrintResult QtOsServices::printText(const DialogOwner* owner, const std::string& text,
                                                const std::string& selection)
{
    // Loaded at the first print; staying loaded, it is looked for once.
    static const auto print =
        reinterpret_cast<PrintEntry>(moduleEntry(QStringLiteral("ferrowinder-print"), kPrintEntryName));
    if (!print)
        return PrintResult::Failed;
    return static_cast<PrintResult>(print(window(owner), qText(text), qText(selection)));
}

}  // namespace ferro::qt
