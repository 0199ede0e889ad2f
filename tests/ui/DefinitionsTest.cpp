// The four form definitions: well formed, and built control by control by a
// renderer from the loaded form's state (the fake renderer's reading here;
// the Qt and Win32 renderers' tests make the same check of their widgets,
// with the geometry and fonts that only they compute).
#include <set>

#include "app/frmMain.h"
#include "info/frmAbout.h"
#include "info/frmSplash.h"
#include "ui/RenderedForm.h"
#include "ui/WindowTest.h"
#include "wizard/frmBoost.h"

namespace ferro::test {
namespace {

const ui::FormDef* const kForms[] = {&frmSplash::Design(), &frmMain::Design(), &frmBoost::Design(),
                                     &frmAbout::Design()};

// The state of a form as it stands when its window is created. No layout:
// the fake computes none, and read from the definition it could not fail.
class FakeRendered final : public RenderedForm {
public:
    explicit FakeRendered(const ui::Form& form) : form_(form) {}
    int clientWidth() const override { return 0; }
    int clientHeight() const override { return 0; }
    std::string caption() const override { return form_.caption(); }
    std::optional<RenderedControl> control(const std::string& id) const override
    {
        if (!form_.has(id))
            return std::nullopt;
        const ui::ControlState& state = form_.state(id);
        RenderedControl made;
        made.foreColor = state.foreColor, made.backColor = state.backColor;
        made.caption = state.caption;
        made.visible = state.visible, made.enabled = state.enabled;
        return made;
    }

private:
    const ui::Form& form_;
};

TEST(FormDefinitions, EveryControlSitsInsideAContainerThatHoldsIt)
{
    for (const ui::FormDef* form : kForms) {
        SCOPED_TRACE(form->name);
        std::set<int> tabIndices;
        for (const ui::ControlDef& c : form->controls) {
            SCOPED_TRACE(c.id());
            if (c.tabIndex >= 0) {
                EXPECT_TRUE(tabIndices.insert(c.tabIndex).second) << "tab index used twice";
            }
            if (c.kind == ui::ControlKind::Timer || c.kind == ui::ControlKind::MenuItem)
                continue;
            int width = form->clientWidth, height = form->clientHeight;
            if (!c.parent.empty()) {
                const ui::ControlDef* parent = form->find(c.parent);
                ASSERT_NE(parent, nullptr);
                EXPECT_TRUE(parent->kind == ui::ControlKind::Frame || parent->kind == ui::ControlKind::Picture);
                width = parent->width, height = parent->height;
            }
            EXPECT_GE(c.left, 0);
            EXPECT_GE(c.top, 0);
            EXPECT_LE(c.left + c.width, width);
            EXPECT_LE(c.top + c.height, height);
        }
    }
}

TEST_F(WindowTest, EveryWindowIsBuiltFromItsDefinitionInItsLoadedState)
{
    struct Check : ui::Renderer {
        explicit Check(FakeRenderer& fake) : fake(fake) {}
        std::unique_ptr<ui::FormView> createView(ui::Form& form, const ui::Form* owner) override
        {
            expectStateAsDefined(form.definition(), FakeRendered(form));
            ++built;
            return fake.createView(form, owner);
        }
        void post(std::function<void()> task) override { fake.post(std::move(task)); }
        void quit() override { fake.quit(); }
        FakeRenderer& fake;
        int built = 0;
    } check(renderer);
    AppWindows checked(AppContext{os, store, folder()}, check);
    checked.showSplash();
    checked.showMain();
    checked.showBoost();
    checked.showAbout();
    EXPECT_EQ(check.built, 4);
}

}  // namespace
}  // namespace ferro::test
