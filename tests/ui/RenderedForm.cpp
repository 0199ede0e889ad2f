#include "ui/RenderedForm.h"

#include <gtest/gtest.h>

namespace ferro::test {

namespace {

void expectAsDefined(const ui::FormDef& form, const RenderedForm& rendered, bool layout)
{
    SCOPED_TRACE(form.name);
    EXPECT_EQ(rendered.caption(), form.caption);
    if (layout) {
        EXPECT_EQ(rendered.clientWidth(), pixels(form.clientWidth));
        EXPECT_EQ(rendered.clientHeight(), pixels(form.clientHeight));
    }
    for (const ui::ControlDef& def : form.controls) {
        SCOPED_TRACE(def.id());
        const std::optional<RenderedControl> made = rendered.control(def.id());
        ASSERT_TRUE(made.has_value()) << "not created";
        EXPECT_EQ(made->visible, def.visible);
        EXPECT_EQ(made->enabled, def.enabled);
        if (def.kind == ui::ControlKind::Timer)
            continue;
        EXPECT_EQ(made->caption, def.caption);
        if (def.kind == ui::ControlKind::MenuItem)
            continue;
        if (def.kind != ui::ControlKind::Line) {  // a line's colour is that of its strip, below
            if (def.foreColor) {
                EXPECT_EQ(made->foreColor, def.foreColor);
            }
            if (def.backColor) {
                EXPECT_EQ(made->backColor, def.backColor);
            }
        }
        if (!layout)
            continue;
        EXPECT_EQ(made->top, pixels(def.top));
        if (!def.autoSize) {
            EXPECT_EQ(made->left, pixels(def.left));
            if (def.kind == ui::ControlKind::Line) {
                // From its first pixel to its last, borderWidth thick.
                EXPECT_EQ(made->width, pixels(def.width) + 1);
                EXPECT_EQ(made->height, def.borderWidth);
            } else {
                EXPECT_EQ(made->width, pixels(def.width));
                EXPECT_EQ(made->height, pixels(def.height));
            }
        } else if (def.alignment == ui::Alignment::Right) {
            EXPECT_EQ(made->left + made->width, pixels(def.left) + pixels(def.width));
        } else {
            EXPECT_EQ(made->left, pixels(def.left));
        }
        if (def.kind == ui::ControlKind::Line) {
            EXPECT_EQ(made->backColor, def.foreColor) << "a line is a strip of its colour";
            continue;
        }
        if (def.kind != ui::ControlKind::Picture && def.kind != ui::ControlKind::Image) {
            const ui::FontDef& font = def.font ? *def.font : form.font;
            EXPECT_EQ(made->fontFace, font.face);
            EXPECT_DOUBLE_EQ(made->points, font.points);
            EXPECT_EQ(made->bold, font.bold);
            EXPECT_EQ(made->underline, font.underline);
        }
    }
}

}  // namespace

void expectRenderedAsDefined(const ui::FormDef& form, const RenderedForm& rendered)
{
    expectAsDefined(form, rendered, true);
}

void expectStateAsDefined(const ui::FormDef& form, const RenderedForm& rendered)
{
    expectAsDefined(form, rendered, false);
}

}  // namespace ferro::test
