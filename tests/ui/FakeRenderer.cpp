#include "ui/FakeRenderer.h"

namespace ferro::test {

FakeView::FakeView(FakeRenderer& renderer, ui::Form& form, const ui::Form* owner)
    : form(form), owner(owner), renderer_(renderer)
{
    renderer_.views_[&form] = this;
}

FakeView::~FakeView()
{
    // As a real view does: the form must still be there.
    form.attach(nullptr);
    renderer_.views_.erase(&form);
}

void FakeView::show(bool centre)
{
    shown = true;
    centred += centre ? 1 : 0;
    if (renderer_.duringShow)
        renderer_.duringShow(form);
}

void FakeView::controlChanged(const std::string& id)
{
    const ui::ControlDef* control = form.definition().find(id);
    if (control && control->kind == ui::ControlKind::Timer && form.state(id).enabled)
        ++timerArms[id];
}

std::unique_ptr<ui::FormView> FakeRenderer::createView(ui::Form& form, const ui::Form* owner)
{
    auto view = std::make_unique<FakeView>(*this, form, owner);
    form.attach(view.get());
    return view;
}

void FakeRenderer::runPosted()
{
    while (!posted_.empty()) {
        auto tasks = std::move(posted_);
        posted_.clear();
        for (auto& task : tasks)
            task();
    }
}

FakeView* FakeRenderer::view(const ui::Form* form) const
{
    const auto found = views_.find(form);
    return found == views_.end() ? nullptr : found->second;
}

}  // namespace ferro::test
