#pragma once
// The registry layer's failures as the windows word and show them.
#include <string>

#include "platform/OsServices.h"
#include "registry/modRegistry.h"

namespace ferro {

// "RegOpenKey error - N", "SetValue error - N", or why a datum was refused.
inline std::string registryFailureText(const Failure& failure)
{
    using Operation = Failure::Operation;
    switch (failure.operation) {
    case Operation::OpenKey: return "RegOpenKey error - " + std::to_string(failure.status);
    case Operation::SetValue: return "SetValue error - " + std::to_string(failure.status);
    default: break;
    }
    return failureReason(failure);
}

// Modal boxes owned by `owner`: the application title "FerroWinder" as
// caption, an OK button and no icon.
inline modRegistry::FailureSink registryMessageSink(OsServices& os, const DialogOwner* owner = nullptr)
{
    return [&os, owner](const Failure& failure) {
        os.messageBox(owner, registryFailureText(failure), kApplicationTitle, MsgButtons::Ok, MsgIcon::None);
    };
}

}  // namespace ferro
