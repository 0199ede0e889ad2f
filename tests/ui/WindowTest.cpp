#include "ui/WindowTest.h"

#include <chrono>

namespace ferro::test {

WindowTest::WindowTest()
{
    static int count = 0;
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    folder_ = std::filesystem::temp_directory_path() /
              ("ferro-windows-" + std::to_string(now) + "-" + std::to_string(++count));
    std::filesystem::create_directories(folder_);
    windows = std::make_unique<AppWindows>(AppContext{os, store, folder_.string()}, renderer);
}

WindowTest::~WindowTest()
{
    windows.reset();
    std::error_code ignored;
    std::filesystem::permissions(folder_ / "Backup", std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(folder_, ignored);
}

bool WindowTest::shown(const ui::Form* form) const
{
    const FakeView* view = form ? renderer.view(form) : nullptr;
    return view && view->shown;
}

bool WindowTest::seen(const ui::Form& form, const std::string& id) const
{
    if (!shown(&form))
        return false;
    for (const ui::ControlDef* c = form.definition().find(id); c; c = form.definition().find(c->parent))
        if (!form.state(c->id()).visible)
            return false;
    return true;
}

bool WindowTest::usable(const ui::Form& form, const std::string& id) const
{
    if (!seen(form, id))
        return false;
    for (const ui::ControlDef* c = form.definition().find(id); c; c = form.definition().find(c->parent))
        if (!form.state(c->id()).enabled)
            return false;
    return true;
}

void WindowTest::click(ui::Form& form, const std::string& id)
{
    const ui::ControlDef* control = form.definition().find(id);
    // Menu items have no window position to see; they need only be there.
    if (!(control && control->kind == ui::ControlKind::MenuItem ? shown(&form) : usable(form, id))) {
        ADD_FAILURE() << "the user cannot click " << id;
        return;
    }
    form.deliver(id, ui::Event::Click);
}

void WindowTest::mouseOver(ui::Form& form, const std::string& id)
{
    ASSERT_TRUE(seen(form, id)) << id;
    form.deliver(id, ui::Event::MouseMove);
}

void WindowTest::type(ui::Form& form, const std::string& id, const std::string& text)
{
    ASSERT_TRUE(usable(form, id)) << id;
    form.userSetText(id, text);
    form.deliver(id, ui::Event::Change);
}

void WindowTest::moveSlider(ui::Form& form, const std::string& id, int value)
{
    ASSERT_TRUE(usable(form, id)) << id;
    form.userSetValue(id, value);
    form.deliver(id, ui::Event::Scroll);
}

void WindowTest::pressKey(ui::Form& form, char key)
{
    ASSERT_TRUE(shown(&form));
    form.deliver("", ui::Event::KeyPress, key);
}

void WindowTest::fire(ui::Form& form, const std::string& timer)
{
    ASSERT_TRUE(armed(form, timer)) << timer << " is not armed";
    form.deliver(timer, ui::Event::Timer);
}

ValueState WindowTest::value(RootKey root, const std::string& key, const std::string& name)
{
    ValueState state;
    readValue(store, {root, key, name}, state);
    return state;
}

std::string WindowTest::valueText(RootKey root, const std::string& key, const std::string& name)
{
    const ValueState state = value(root, key, name);
    if (!state.present)
        return "absent";
    if (state.type == kRegDword && state.data.size() == 4)
        return std::to_string(state.data[0] | state.data[1] << 8 | state.data[2] << 16 |
                              std::uint32_t(state.data[3]) << 24);
    std::string text(state.data.begin(), state.data.end());
    if (!text.empty() && text.back() == '\0')
        text.pop_back();
    return text;
}

}  // namespace ferro::test
