#pragma once
// A window that may own a message box or a dialog, as the OS services know
// it: by identity only, each renderer finding its own window for it. Every
// loaded form is one, so that the services name nothing of a higher floor.
namespace ferro {

class DialogOwner {
protected:
    DialogOwner() = default;
    ~DialogOwner() = default;
};

}  // namespace ferro
