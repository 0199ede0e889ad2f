#pragma once
// The About and donation window: the request for donations, the postal
// address, the system information tool and printing the address.
#include <QWidget>

#include <string>

#include "registry/RegistryBackend.h"

class QPushButton;
class QTextEdit;

namespace ferro {
class AppWindows;
}

class frmAbout : public QWidget {
    Q_OBJECT
public:
    explicit frmAbout(ferro::AppWindows& windows, QWidget* parent = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void createControls();
    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();
    void Command1_Click();
    void StartSysInfo();
    bool GetKeyValue(ferro::RootKey KeyRoot, const std::string& KeyName, const std::string& SubKeyRef,
                     std::string& KeyVal);

    ferro::AppWindows& windows_;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;
    QPushButton* Command1 = nullptr;
    QTextEdit* RichTextBox1 = nullptr;
};
