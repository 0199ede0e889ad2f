#pragma once
// The Qt front end of the windows: it builds widgets from the form
// definitions (objectNames are the controls' ids), mirrors each control's
// state onto its widget, and turns widget events into the forms' events. It
// decides nothing itself.
#include <QPointer>
#include <QWidget>

#include <map>

#include "form/Renderer.h"

namespace ferro::qt {

class QtRenderer final : public ui::Renderer {
public:
    QtRenderer();
    ~QtRenderer() override;

    std::unique_ptr<ui::FormView> createView(ui::Form& form, const ui::Form* owner) override;
    void post(std::function<void()> task) override;
    void quit() override;

    // The window of a loaded form, or nullptr (also for nullptr).
    QWidget* window(const ui::Form* form) const;

private:
    friend class FormWidgets;
    std::map<const ui::Form*, QPointer<QWidget>> windows_;
};

}  // namespace ferro::qt
