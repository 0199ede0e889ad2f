// Each kind of control of the forms as a small wrapper over its Qt widget.
// A new kind of control is one more class here and one more line in make().
#include "ui/qt/QtControl.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLayout>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QTextEdit>
#include <QTimer>

#include <stdexcept>

#include "ui/qt/ClassicLook.h"
#include "ui/qt/PictureScaling.h"
#include "ui/qt/Pictures.h"

namespace ferro::qt {

QColor qColor(ui::Color bgr)
{
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

QFont qFont(const ui::FontDef& def)
{
    QFont font = classicFont(QString::fromStdString(def.face), def.points, def.bold);
    font.setItalic(def.italic);
    font.setUnderline(def.underline);
    return font;
}

namespace {

using ui::ControlKind;

void setColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

QString qText(const std::string& text) { return QString::fromStdString(text); }

// The picture a definition names, from the program's resources, at the control's size.
QPixmap pictureOf(const ui::ControlDef& def)
{
    return picturePixmap(qText(def.image), pictureBox(def), def.stretch);
}

class Label final : public QtControl {
public:
    using QtControl::QtControl;
    void create(QWidget* parent) override
    {
        label_ = new QLabel(parent);
        label_->setTextFormat(Qt::PlainText);
        label_->setWordWrap(!def_.autoSize);
        const Qt::Alignment horizontal = def_.alignment == ui::Alignment::Right    ? Qt::AlignRight
                                         : def_.alignment == ui::Alignment::Center ? Qt::AlignHCenter
                                                                                   : Qt::AlignLeft;
        label_->setAlignment(horizontal | Qt::AlignTop);
        label_->installEventFilter(host_.events);
        adopt(label_);
    }
    void mirror(const ui::ControlState& state) override
    {
        label_->setText(qText(state.caption));
        if (def_.autoSize) {
            // Sized to its text, keeping the edge its text is aligned to.
            label_->adjustSize();
            const int right = px(def_.left) + px(def_.width);
            label_->move(def_.alignment == ui::Alignment::Right ? right - label_->width() : px(def_.left), px(def_.top));
        }
        mirrorColours(state);
    }

private:
    QLabel* label_ = nullptr;
};

class Button final : public QtControl {
public:
    using QtControl::QtControl;
    void create(QWidget* parent) override
    {
        button_ = new QPushButton(parent);
        // Enter presses the focused button only where the window has a default one.
        button_->setAutoDefault(host_.hasDefault);
        button_->setDefault(def_.isDefault);
        button_->setMouseTracking(true);
        button_->installEventFilter(host_.events);
        QObject::connect(button_, &QPushButton::clicked, host_.events,
                         [form = &host_.form, id = def_.id()] { form->deliver(id, ui::Event::Click); });
        adopt(button_);
    }
    void mirror(const ui::ControlState& state) override
    {
        button_->setText(qText(state.caption));
        mirrorColours(state);
    }
    bool focusable() const override { return true; }

private:
    QPushButton* button_ = nullptr;
};

// A classic frame in colours of its own (its palette's text and window
// colours): a grooved border whose top line runs behind the caption, the
// caption on the frame's colour. Painted here: a style sheet would bring Qt's
// style-sheet engine into the program for this one frame.
class ColouredGroupBox final : public QGroupBox {
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent*) override
    {
        constexpr int kBorderTop = 6;       // the border's top line, below the caption's top
        constexpr int kCaptionLeft = 7;
        constexpr int kCaptionPadding = 2;  // each side
        QPainter painter(this);
        // Two rings: the outer dark at top and left, light at bottom and
        // right; the inner the other way round.
        const QColor dark(192, 192, 192), light(Qt::white);
        const QRect outer = rect().adjusted(0, kBorderTop, 0, 0);
        const QRect inner = outer.adjusted(1, 1, -1, -1);
        const auto ring = [&painter](const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
            painter.setPen(bottomRight);
            painter.drawLine(r.bottomLeft(), r.bottomRight());
            painter.drawLine(r.topRight(), r.bottomRight());
            painter.setPen(topLeft);
            painter.drawLine(r.topLeft(), r.topRight());
            painter.drawLine(r.topLeft(), r.bottomLeft());
        };
        ring(outer, dark, light);
        ring(inner, light, dark);
        // The caption centred in a box as wide as itself and a space.
        const QFontMetrics metrics(font());
        const int captionWidth = metrics.horizontalAdvance(title() + QLatin1Char(' ')) + 2 * kCaptionPadding;
        const QRect caption(kCaptionLeft, 0, captionWidth, metrics.height());
        painter.fillRect(caption, palette().color(QPalette::Window));
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(caption.adjusted(kCaptionPadding, 0, -kCaptionPadding, 0),
                         Qt::AlignCenter | Qt::TextShowMnemonic, title());
    }
};

// A group box with a caption, or an etched box without one.
class Frame final : public QtControl {
public:
    using QtControl::QtControl;
    void create(QWidget* parent) override
    {
        if (def_.caption.empty()) {
            auto* frame = new QFrame(parent);
            frame->setFrameStyle(QFrame::Box | QFrame::Sunken);  // etched, without a caption
            adopt(frame);
        } else {
            group_ = def_.foreColor || def_.backColor ? new ColouredGroupBox(parent) : new QGroupBox(parent);
            adopt(group_);
        }
        widget_->installEventFilter(host_.events);
    }
    void mirror(const ui::ControlState& state) override
    {
        if (group_)
            group_->setTitle(qText(state.caption));
        mirrorColours(state);
    }

private:
    QGroupBox* group_ = nullptr;
};

class Slider final : public QtControl {
public:
    using QtControl::QtControl;
    void create(QWidget* parent) override
    {
        slider_ = new QSlider(Qt::Horizontal, parent);
        slider_->setRange(def_.min, def_.max);
        slider_->setSingleStep(def_.smallChange);
        slider_->setPageStep(def_.largeChange);
        slider_->setTickPosition(QSlider::NoTicks);
        slider_->setValue(host_.form.state(def_.id()).value);
        QObject::connect(slider_, &QSlider::valueChanged, host_.events, [form = &host_.form, id = def_.id()](int value) {
            if (value == form->state(id).value)
                return;  // the form's own change, mirrored
            form->userSetValue(id, value);
            form->deliver(id, ui::Event::Scroll);
        });
        adopt(slider_);
    }
    void mirror(const ui::ControlState& state) override
    {
        slider_->setValue(state.value);
        mirrorColours(state);
    }
    bool focusable() const override { return true; }

private:
    QSlider* slider_ = nullptr;
};

class Combo final : public QtControl {
public:
    using QtControl::QtControl;
    void create(QWidget* parent) override
    {
        combo_ = new QComboBox(parent);
        combo_->setEditable(true);
        combo_->setInsertPolicy(QComboBox::NoInsert);
        for (const std::string& item : def_.items)
            combo_->addItem(qText(item));
        combo_->setCurrentIndex(-1);
        QObject::connect(combo_, &QComboBox::editTextChanged, host_.events,
                         [form = &host_.form, id = def_.id()](const QString& text) {
                             if (text.toStdString() == form->state(id).caption)
                                 return;
                             form->userSetText(id, text.toStdString());
                             form->deliver(id, ui::Event::Change);
                         });
        adopt(combo_);
    }
    void mirror(const ui::ControlState& state) override
    {
        if (combo_->currentText() != qText(state.caption))
            combo_->setEditText(qText(state.caption));
        mirrorColours(state);
    }
    bool focusable() const override { return true; }

private:
    QComboBox* combo_ = nullptr;
};

class TextBox final : public QtControl {
public:
    using QtControl::QtControl;
    void create(QWidget* parent) override
    {
        if (def_.multiLine) {
            createBox(parent);
            return;
        }
        edit_ = new QLineEdit(parent);
        edit_->setReadOnly(def_.readOnly);
        edit_->setFrame(def_.border);
        if (!def_.border && def_.backColor)
            setBackground(edit_, qColor(*def_.backColor));  // a plain box of its colour
        adopt(edit_);
    }
    void mirror(const ui::ControlState& state) override
    {
        const QString caption = qText(state.caption);
        if (box_) {
            if (box_->toPlainText() != caption)
                box_->setPlainText(caption);
            mirrorColours(state);
            return;
        }
        edit_->setText(caption);
        if (state.foreColor)
            setColour(edit_, QPalette::Text, qColor(*state.foreColor));
        if (state.backColor) {
            setColour(edit_, QPalette::Base, qColor(*state.backColor));
            if (!def_.border)
                setBackground(edit_, qColor(*state.backColor));
        }
    }
    bool focusable() const override { return true; }

private:
    void createBox(QWidget* parent)
    {
        box_ = new QTextEdit(parent);
        box_->setReadOnly(def_.readOnly);
        if (def_.readOnly)  // read but not edited: the text can be selected
            box_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        box_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        box_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        if (!def_.border)
            box_->setFrameStyle(QFrame::NoFrame);
        QObject::connect(box_, &QTextEdit::selectionChanged, host_.events,
                         [form = &host_.form, box = box_, id = def_.id()] {
                             const QTextCursor cursor = box->textCursor();
                             const QString text = box->toPlainText();
                             const int start = static_cast<int>(text.left(cursor.selectionStart()).toUtf8().size());
                             const int end = static_cast<int>(text.left(cursor.selectionEnd()).toUtf8().size());
                             form->userSetSelection(id, start, end - start);
                         });
        adopt(box_);
    }

    QLineEdit* edit_ = nullptr;
    QTextEdit* box_ = nullptr;
};

// A picture box (an optional picture and border, holding other controls) or an image.
class PictureBox final : public QtControl {
public:
    using QtControl::QtControl;
    void create(QWidget* parent) override
    {
        picture_ = new QLabel(parent);
        if (def_.kind == ControlKind::Picture && def_.border) {
            picture_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            picture_->setLineWidth(1);
        }
        if (!def_.image.empty())
            picture_->setPixmap(pictureOf(def_));
        picture_->installEventFilter(host_.events);
        adopt(picture_);
    }
    void mirror(const ui::ControlState& state) override { mirrorColours(state); }
    QRect geometry(const QRect& designed) const override
    {
        if (def_.autoSize && !picture_->pixmap().isNull())
            return QRect(designed.topLeft(), picture_->pixmap().size());  // sized to its picture
        return designed;
    }

private:
    QLabel* picture_ = nullptr;
};

// A strip of its colour, from its first pixel to its last, borderWidth pixels thick.
class Line final : public QtControl {
public:
    using QtControl::QtControl;
    void create(QWidget* parent) override { adopt(new QWidget(parent)); }
    void mirror(const ui::ControlState& state) override
    {
        if (state.foreColor)
            setBackground(widget_, qColor(*state.foreColor));
    }
    QRect geometry(const QRect&) const override
    {
        return {px(def_.left), px(def_.top), px(def_.width) + 1, def_.borderWidth};
    }
};

class MenuItem final : public QtControl {
public:
    using QtControl::QtControl;
    void create(QWidget*) override
    {
        QLayout* layout = host_.window->layout();
        auto* bar = layout ? qobject_cast<QMenuBar*>(layout->menuBar()) : nullptr;
        if (!bar)
            throw std::logic_error("the menu item " + def_.id() + " needs a window with a menu bar");
        action_ = bar->addAction(qText(def_.caption));
        action_->setObjectName(qText(def_.id()));
        QObject::connect(action_, &QAction::triggered, host_.events,
                         [form = &host_.form, id = def_.id()] { form->deliver(id, ui::Event::Click); });
        object_ = action_;
    }
    void mirror(const ui::ControlState& state) override
    {
        action_->setText(qText(state.caption));
        action_->setVisible(state.visible);
        action_->setEnabled(state.enabled);
    }

private:
    QAction* action_ = nullptr;
};

// Ticks every interval ms while enabled.
class Timer final : public QtControl {
public:
    using QtControl::QtControl;
    void create(QWidget*) override
    {
        timer_ = new QTimer(host_.window);
        timer_->setObjectName(qText(def_.id()));
        timer_->setTimerType(Qt::PreciseTimer);
        QObject::connect(timer_, &QTimer::timeout, host_.events,
                         [form = &host_.form, id = def_.id()] { form->deliver(id, ui::Event::Timer); });
        object_ = timer_;
    }
    void mirror(const ui::ControlState& state) override
    {
        timer_->stop();
        if (state.enabled) {
            timer_->setInterval(state.interval);
            timer_->start();  // counted from now
        }
    }

private:
    QTimer* timer_ = nullptr;
};

}  // namespace

void setBackground(QWidget* widget, const QColor& colour)
{
    widget->setAutoFillBackground(true);
    setColour(widget, QPalette::Window, colour);
}

std::unique_ptr<QtControl> QtControl::make(QtControlHost& host, const ui::ControlDef& def)
{
    switch (def.kind) {
    case ControlKind::Label: return std::make_unique<Label>(host, def);
    case ControlKind::Button: return std::make_unique<Button>(host, def);
    case ControlKind::Frame: return std::make_unique<Frame>(host, def);
    case ControlKind::Slider: return std::make_unique<Slider>(host, def);
    case ControlKind::Combo: return std::make_unique<Combo>(host, def);
    case ControlKind::TextBox: return std::make_unique<TextBox>(host, def);
    case ControlKind::Picture:
    case ControlKind::Image: return std::make_unique<PictureBox>(host, def);
    case ControlKind::Line: return std::make_unique<Line>(host, def);
    case ControlKind::MenuItem: return std::make_unique<MenuItem>(host, def);
    case ControlKind::Timer: return std::make_unique<Timer>(host, def);
    }
    throw std::logic_error("no widget for the control " + def.id());
}

void QtControl::adopt(QWidget* widget)
{
    object_ = widget_ = widget;
    widget->setObjectName(qText(def_.id()));
    // Unset, the form's font: not that of a frame the control sits in.
    widget->setFont(qFont(def_.font ? *def_.font : host_.form.definition().font));
    widget->setFocusPolicy(focusable() && def_.tabIndex >= 0 ? Qt::StrongFocus : Qt::NoFocus);
    if (!def_.cursor.empty())
        widget->setCursor(Qt::PointingHandCursor);
}

void QtControl::mirrorColours(const ui::ControlState& state)
{
    if (state.foreColor)
        setColour(widget_, QPalette::WindowText, qColor(*state.foreColor));
    if (state.backColor)
        setBackground(widget_, qColor(*state.backColor));
}

}  // namespace ferro::qt
