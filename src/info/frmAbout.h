#pragma once
// The About and donation window: the request for donations, the postal
// address, the system information tool and printing the address.
#include <string>

#include "form/Form.h"
#include "registry/RegistryBackend.h"

namespace ferro {
class WindowHost;
}

class frmAbout : public ferro::ui::Form {
public:
    static const ferro::ui::FormDef& Design();

    explicit frmAbout(ferro::WindowHost& windows);

    void Form_Load() override;

private:
    void Form_QueryUnload();
    void cmdOK_Click();
    void cmdSysInfo_Click();
    void Command1_Click();
    void StartSysInfo();
    bool GetKeyValue(ferro::RootKey KeyRoot, const std::string& KeyName, const std::string& SubKeyRef,
                     std::string& KeyVal);

    ferro::WindowHost& windows_;
};
