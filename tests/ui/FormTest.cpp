// The form base as a window's code uses it: a handler is taken for a control
// of the definition or for the form itself, and refused, as the window is
// built, for a name the definition does not have (it would never run).
#include <gtest/gtest.h>

#include <stdexcept>

#include "form/Form.h"

namespace ferro::test {
namespace {

const ui::FormDef& oneButtonForm()
{
    static const ui::FormDef form = [] {
        ui::FormDef def;
        def.name = "frmTest";
        def.controls.push_back(ui::control(ui::ControlKind::Button, "cmdOK", "OK"));
        def.controls.push_back(ui::control(ui::ControlKind::Label, "lblNote", "", {}, 2));
        return def;
    }();
    return form;
}

class HandlerForm final : public ui::Form {
public:
    HandlerForm(const std::string& id, ui::Event event) : Form(oneButtonForm())
    {
        on(id, event, [this](int) { ++handled; });
    }
    int handled = 0;
};

TEST(FormBase, AHandlerIsTakenForAControlOrTheFormAndRefusedForANameTheDefinitionLacks)
{
    const struct {
        const char* id;
        ui::Event event;
        bool taken;
    } cases[] = {
        {"cmdOK", ui::Event::Click, true},
        {"lblNote_2", ui::Event::Click, true},
        {"", ui::Event::Close, true},
        {"cmdOk", ui::Event::Click, false},  // names are exact
        {"lblNote", ui::Event::Click, false},  // an array element is named with its index
        {"cmdCancel", ui::Event::Click, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        if (c.taken) {
            HandlerForm form(c.id, c.event);
            form.deliver(c.id, c.event);
            EXPECT_EQ(form.handled, 1);
            continue;
        }
        try {
            HandlerForm form(c.id, c.event);
            ADD_FAILURE() << "a handler for a control the form lacks was taken";
        } catch (const std::logic_error& refused) {
            const std::string why = refused.what();  // names the window and the control
            EXPECT_NE(why.find("frmTest"), std::string::npos) << why;
            EXPECT_NE(why.find(std::string(" ") + c.id + ","), std::string::npos) << why;
        }
    }
}

}  // namespace
}  // namespace ferro::test
