#pragma once
// The registry layer's messages as the windows show them.
#include "platform/OsServices.h"
#include "registry/modRegistry.h"

namespace ferro {

// Modal boxes owned by `owner`: the application title "FerroWinder" as
// caption, an OK button and no icon.
inline modRegistry::MessageSink registryMessageSink(OsServices& os, const ui::Form* owner = nullptr)
{
    return [&os, owner](const std::string& message) {
        os.messageBox(owner, message, kApplicationTitle, MsgButtons::Ok, MsgIcon::None);
    };
}

}  // namespace ferro
