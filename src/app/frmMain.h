#pragma once
// The main window: the hub that starts the wizard, the restore and the About
// window, and whose Exit or title-bar close ends the whole program.
#include <QMainWindow>

class QLabel;
class QPushButton;

namespace ferro {
class AppWindows;
}

class frmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(ferro::AppWindows& windows, QWidget* parent = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;  // Form_QueryUnload
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void cmdBoost_Click();
    void cmdRestore_Click();
    void cmdExit_Click();
    void cmdBoost_MouseMove();
    void cmdRestore_MouseMove();
    void cmdExit_MouseMove();
    void About_Click();
    void Nice_Click();
    void Help_Click();

    ferro::AppWindows& windows_;
    QPushButton* cmdBoost = nullptr;
    QPushButton* cmdRestore = nullptr;
    QPushButton* cmdExit = nullptr;
    QLabel* Label1 = nullptr;
};
