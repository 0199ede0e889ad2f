#include "ui/qt/QtRenderer.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QStyleOptionFrame>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>

#include "ui/qt/ClassicLook.h"
#include "ui/qt/Pictures.h"

namespace ferro::qt {
namespace {

using ui::ControlDef;
using ui::ControlKind;

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

void setColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

void setBackground(QWidget* widget, const QColor& colour)
{
    widget->setAutoFillBackground(true);
    setColour(widget, QPalette::Window, colour);
}

QString qText(const std::string& text) { return QString::fromStdString(text); }

bool focusable(ControlKind kind)
{
    return kind == ControlKind::Button || kind == ControlKind::Slider || kind == ControlKind::Combo ||
           kind == ControlKind::TextBox;
}

// Calls back into the view for what a top-level window receives itself.
class WindowEvents {
public:
    virtual ~WindowEvents() = default;
    virtual void closeRequested() = 0;
    virtual bool keyPressed(QKeyEvent* event) = 0;
    virtual void paintBorder(QWidget* window) = 0;
};

template <class Base>
class FormWindow final : public Base {
public:
    FormWindow(WindowEvents& events, QWidget* parent, Qt::WindowFlags flags)
        : Base(parent, flags), events_(events)
    {
    }

protected:
    // The window system's close asks the form; the renderer never closes it.
    void closeEvent(QCloseEvent* event) override
    {
        event->ignore();
        events_.closeRequested();
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        if (!events_.keyPressed(event))
            Base::keyPressEvent(event);
    }
    void paintEvent(QPaintEvent* event) override
    {
        Base::paintEvent(event);
        events_.paintBorder(this);
    }

private:
    WindowEvents& events_;
};

}  // namespace

// One loaded form's window: its widgets by control id.
class FormWidgets final : public QObject, public ui::FormView, private WindowEvents {
public:
    FormWidgets(QtRenderer& renderer, ui::Form& form, const ui::Form* owner);
    ~FormWidgets() override;

    void controlChanged(const std::string& id) override;
    void formCaptionChanged() override { window_->setWindowTitle(qText(form_.caption())); }
    void show(bool centre) override;
    void hide() override { window_->hide(); }
    void bringToFront() override
    {
        window_->raise();
        window_->activateWindow();
    }
    bool isShown() const override { return window_->isVisible(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void closeRequested() override { form_.deliver("", ui::Event::Close); }
    bool keyPressed(QKeyEvent* event) override;
    void paintBorder(QWidget* window) override;

    QWidget* createWindow(const ui::Form* owner);
    QWidget* createControl(const ControlDef& def, QWidget* parent);
    void place(QWidget* widget, const ControlDef& def, QWidget* parent);
    void applyState(const ControlDef& def);
    bool clickButton(bool (*which)(const ControlDef&));

    QtRenderer& renderer_;
    ui::Form& form_;
    QPointer<QWidget> window_;
    QWidget* client_ = nullptr;  // where the controls sit (the central widget under a menu bar)
    std::map<std::string, QObject*> controls_;
    std::vector<QWidget*> tabOrder_;
    bool shownBefore_ = false;
    bool raisedBorder_ = false;  // a dialog frame without a title bar, drawn by us
    bool hasDefault_ = false;
};

FormWidgets::FormWidgets(QtRenderer& renderer, ui::Form& form, const ui::Form* owner)
    : renderer_(renderer), form_(form)
{
    const ui::FormDef& def = form.definition();
    hasDefault_ = std::any_of(def.controls.begin(), def.controls.end(),
                              [](const ControlDef& c) { return c.isDefault; });
    window_ = createWindow(owner);
    for (const ControlDef& control : def.controls) {
        QWidget* parent = client_;
        if (!control.parent.empty())
            parent = qobject_cast<QWidget*>(controls_.at(control.parent));
        QWidget* widget = createControl(control, parent);
        if (widget)
            place(widget, control, parent);
        applyState(control);
    }
    // In tab order; the first that can take the focus has it when the window opens.
    std::vector<const ControlDef*> tabOrder;
    for (const ControlDef& control : def.controls)
        if (control.tabIndex >= 0 && focusable(control.kind))
            tabOrder.push_back(&control);
    std::sort(tabOrder.begin(), tabOrder.end(),
              [](const ControlDef* a, const ControlDef* b) { return a->tabIndex < b->tabIndex; });
    for (std::size_t i = 1; i < tabOrder.size(); ++i)
        QWidget::setTabOrder(qobject_cast<QWidget*>(controls_.at(tabOrder[i - 1]->id())),
                             qobject_cast<QWidget*>(controls_.at(tabOrder[i]->id())));
    for (const ControlDef* control : tabOrder)
        tabOrder_.push_back(qobject_cast<QWidget*>(controls_.at(control->id())));
    if (tabOrder.empty())
        window_->setFocusPolicy(Qt::StrongFocus);  // the window itself takes the keys
    renderer_.windows_[&form_] = window_;
    form_.attach(this);
}

FormWidgets::~FormWidgets()
{
    form_.attach(nullptr);
    renderer_.windows_.erase(&form_);
    delete window_.data();  // an owned window may have gone with its owner
}

QWidget* FormWidgets::createWindow(const ui::Form* owner)
{
    const ui::FormDef& def = form_.definition();
    QWidget* parent = renderer_.window(owner);
    const bool titleBar = def.border != ui::BorderStyle::None && (def.controlBox || !def.caption.empty());
    Qt::WindowFlags flags;
    if (!titleBar) {
        flags = Qt::SplashScreen | Qt::FramelessWindowHint;
        raisedBorder_ = def.border != ui::BorderStyle::None;
    } else {
        flags = (def.border == ui::BorderStyle::FixedDialog || parent ? Qt::Dialog : Qt::Window) |
                Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        if (def.border != ui::BorderStyle::Sizable)
            flags |= Qt::MSWindowsFixedSizeDialogHint;
        if (def.controlBox)
            flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        if (def.controlBox && def.minButton)
            flags |= Qt::WindowMinimizeButtonHint;
        if (def.controlBox && def.maxButton)
            flags |= Qt::WindowMaximizeButtonHint;
    }
    const bool menu = std::any_of(def.controls.begin(), def.controls.end(),
                                  [](const ControlDef& c) { return c.kind == ControlKind::MenuItem; });
    QWidget* window = nullptr;
    const QSize client(px(def.clientWidth), px(def.clientHeight));
    if (menu) {
        auto* main = new FormWindow<QMainWindow>(*this, parent, flags);
        client_ = new QWidget(main);
        client_->setFixedSize(client);
        main->setCentralWidget(client_);
        main->layout()->setSizeConstraint(QLayout::SetFixedSize);
        window = main;
    } else {
        window = new FormWindow<QWidget>(*this, parent, flags);
        window->setFixedSize(client);
        client_ = window;
    }
    window->setObjectName(qText(def.name));
    window->setWindowTitle(qText(form_.caption()));
    window->setWindowIcon(QApplication::windowIcon());  // decoded once, by the renderer
    window->setFont(qFont(def.font));
    if (def.backColor)
        setBackground(client_, qColor(*def.backColor));
    return window;
}

QWidget* FormWidgets::createControl(const ControlDef& def, QWidget* parent)
{
    const QString id = qText(def.id());
    QWidget* widget = nullptr;
    switch (def.kind) {
    case ControlKind::Label: {
        auto* label = new QLabel(parent);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(!def.autoSize);
        const Qt::Alignment horizontal = def.alignment == ui::Alignment::Right    ? Qt::AlignRight
                                         : def.alignment == ui::Alignment::Center ? Qt::AlignHCenter
                                                                                  : Qt::AlignLeft;
        label->setAlignment(horizontal | Qt::AlignTop);
        label->installEventFilter(this);
        widget = label;
        break;
    }
    case ControlKind::Button: {
        auto* button = new QPushButton(parent);
        // Enter presses the focused button only where the window has a default one.
        button->setAutoDefault(hasDefault_);
        button->setDefault(def.isDefault);
        button->setMouseTracking(true);
        button->installEventFilter(this);
        connect(button, &QPushButton::clicked, this, [this, id = def.id()] { form_.deliver(id, ui::Event::Click); });
        widget = button;
        break;
    }
    case ControlKind::Frame: {
        if (def.caption.empty()) {
            auto* frame = new QFrame(parent);
            frame->setFrameStyle(QFrame::Box | QFrame::Sunken);  // etched, without a caption
            widget = frame;
        } else {
            auto* group = new QGroupBox(parent);
            if (def.foreColor || def.backColor) {
                // A classic frame in colours of its own: the caption sits on the
                // etched top border line, on the frame's background.
                const QColor fore = qColor(def.foreColor.value_or(0));
                const QColor back = qColor(def.backColor.value_or(0xC0C0C0));
                group->setStyleSheet(
                    QStringLiteral("QGroupBox#%1 { color: %2; border: 2px groove rgb(192,192,192); margin-top: 6px; }"
                                   "QGroupBox#%1::title { subcontrol-origin: margin; left: 7px; padding: 0 2px;"
                                   " background: %3; }")
                        .arg(id, fore.name(), back.name()));
            }
            widget = group;
        }
        widget->installEventFilter(this);
        break;
    }
    case ControlKind::Slider: {
        auto* slider = new QSlider(Qt::Horizontal, parent);
        slider->setRange(def.min, def.max);
        slider->setSingleStep(def.smallChange);
        slider->setPageStep(def.largeChange);
        slider->setTickPosition(QSlider::NoTicks);
        slider->setValue(form_.state(def.id()).value);
        connect(slider, &QSlider::valueChanged, this, [this, id = def.id()](int value) {
            if (value == form_.state(id).value)
                return;  // the form's own change, mirrored
            form_.userSetValue(id, value);
            form_.deliver(id, ui::Event::Scroll);
        });
        widget = slider;
        break;
    }
    case ControlKind::Combo: {
        auto* combo = new QComboBox(parent);
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        for (const std::string& item : def.items)
            combo->addItem(qText(item));
        combo->setCurrentIndex(-1);
        connect(combo, &QComboBox::editTextChanged, this, [this, id = def.id()](const QString& text) {
            if (text.toStdString() == form_.state(id).caption)
                return;
            form_.userSetText(id, text.toStdString());
            form_.deliver(id, ui::Event::Change);
        });
        widget = combo;
        break;
    }
    case ControlKind::TextBox:
        if (def.multiLine) {
            auto* box = new QTextEdit(parent);
            box->setReadOnly(def.readOnly);
            if (def.readOnly)  // read but not edited: the text can be selected
                box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
            box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            if (!def.border)
                box->setFrameStyle(QFrame::NoFrame);
            connect(box, &QTextEdit::selectionChanged, this, [this, box, id = def.id()] {
                const QTextCursor cursor = box->textCursor();
                const QString text = box->toPlainText();
                const int start = static_cast<int>(text.left(cursor.selectionStart()).toUtf8().size());
                const int end = static_cast<int>(text.left(cursor.selectionEnd()).toUtf8().size());
                form_.userSetSelection(id, start, end - start);
            });
            widget = box;
        } else {
            auto* edit = new QLineEdit(parent);
            edit->setReadOnly(def.readOnly);
            edit->setFrame(def.border);
            if (!def.border && def.backColor)
                setBackground(edit, qColor(*def.backColor));  // a plain box of its colour
            widget = edit;
        }
        break;
    case ControlKind::Picture:
    case ControlKind::Image: {
        auto* picture = new QLabel(parent);
        if (def.kind == ControlKind::Picture && def.border) {
            picture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            picture->setLineWidth(1);
        }
        if (!def.image.empty()) {
            const QSize size(px(def.width), px(def.height));
            picture->setPixmap(picturePixmap(qText(def.image), size, def.stretch));
        }
        picture->installEventFilter(this);
        widget = picture;
        break;
    }
    case ControlKind::Line:
        widget = new QWidget(parent);
        break;
    case ControlKind::MenuItem: {
        auto* menuBar = qobject_cast<QMainWindow*>(window_.data())->menuBar();
        QAction* action = menuBar->addAction(qText(def.caption));
        action->setObjectName(id);
        connect(action, &QAction::triggered, this, [this, id = def.id()] { form_.deliver(id, ui::Event::Click); });
        controls_[def.id()] = action;
        return nullptr;
    }
    case ControlKind::Timer: {
        auto* timer = new QTimer(window_);
        timer->setObjectName(id);
        timer->setTimerType(Qt::PreciseTimer);
        connect(timer, &QTimer::timeout, this, [this, id = def.id()] { form_.deliver(id, ui::Event::Timer); });
        controls_[def.id()] = timer;
        return nullptr;
    }
    }
    widget->setObjectName(id);
    // Unset, the form's font: not that of a frame the control sits in.
    widget->setFont(qFont(def.font ? *def.font : form_.definition().font));
    widget->setFocusPolicy(focusable(def.kind) && def.tabIndex >= 0 ? Qt::StrongFocus : Qt::NoFocus);
    if (!def.cursor.empty())
        widget->setCursor(Qt::PointingHandCursor);
    controls_[def.id()] = widget;
    return widget;
}

void FormWidgets::place(QWidget* widget, const ControlDef& def, QWidget* parent)
{
    // Inside a bordered picture box positions count from inside its border.
    QPoint origin;
    if (auto* frame = qobject_cast<QLabel*>(parent))
        origin = frame->contentsRect().topLeft();
    if (def.kind == ControlKind::Line) {
        widget->setGeometry(px(def.left), px(def.top), px(def.width) + 1, def.borderWidth);
        return;
    }
    QSize size(px(def.width), px(def.height));
    if (auto* picture = qobject_cast<QLabel*>(widget); picture && def.autoSize && !picture->pixmap().isNull())
        size = picture->pixmap().size();  // sized to its picture
    widget->setGeometry(QRect(origin + QPoint(px(def.left), px(def.top)), size));
}

void FormWidgets::controlChanged(const std::string& id)
{
    if (const ControlDef* def = form_.definition().find(id))
        applyState(*def);
}

void FormWidgets::applyState(const ControlDef& def)
{
    const ui::ControlState& state = form_.state(def.id());
    QObject* object = controls_.at(def.id());
    if (auto* timer = qobject_cast<QTimer*>(object)) {
        timer->stop();
        if (state.enabled) {
            timer->setInterval(state.interval);
            timer->start();  // counted from now
        }
        return;
    }
    if (auto* action = qobject_cast<QAction*>(object)) {
        action->setText(qText(state.caption));
        action->setVisible(state.visible);
        action->setEnabled(state.enabled);
        return;
    }
    auto* widget = qobject_cast<QWidget*>(object);
    const QString caption = qText(state.caption);
    if (auto* label = qobject_cast<QLabel*>(widget); label && label->pixmap().isNull() &&
                                                      def.kind == ControlKind::Label) {
        label->setText(caption);
        if (def.autoSize) {
            // Sized to its text, keeping the edge its text is aligned to.
            label->adjustSize();
            const int right = px(def.left) + px(def.width);
            label->move(def.alignment == ui::Alignment::Right ? right - label->width() : px(def.left), px(def.top));
        }
    } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
        button->setText(caption);
    } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        group->setTitle(caption);
    } else if (auto* slider = qobject_cast<QSlider*>(widget)) {
        slider->setValue(state.value);
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        if (combo->currentText() != caption)
            combo->setEditText(caption);
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->setText(caption);
    } else if (auto* box = qobject_cast<QTextEdit*>(widget)) {
        if (box->toPlainText() != caption)
            box->setPlainText(caption);
    }
    if (def.kind == ControlKind::Line) {
        if (state.foreColor)
            setBackground(widget, qColor(*state.foreColor));
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        if (state.foreColor)
            setColour(edit, QPalette::Text, qColor(*state.foreColor));
        if (state.backColor) {
            setColour(edit, QPalette::Base, qColor(*state.backColor));
            if (!def.border)
                setBackground(edit, qColor(*state.backColor));
        }
    } else if (!qobject_cast<QGroupBox*>(widget) || widget->styleSheet().isEmpty()) {
        if (state.foreColor)
            setColour(widget, QPalette::WindowText, qColor(*state.foreColor));
        if (state.backColor)
            setBackground(widget, qColor(*state.backColor));
    }
    widget->setToolTip(qText(state.toolTip));
    widget->setEnabled(state.enabled);
    widget->setVisible(state.visible);
}

void FormWidgets::show(bool centre)
{
    if (centre) {
        window_->adjustSize();
        centreOnScreen(*window_);
    }
    if (!shownBefore_) {
        // The first control in tab order that can take the focus has it.
        shownBefore_ = true;
        for (QWidget* control : tabOrder_) {
            if (!control->isHidden() && control->isEnabled()) {
                control->setFocus();
                break;
            }
        }
    }
    window_->show();
}

bool FormWidgets::eventFilter(QObject* watched, QEvent* event)
{
    auto* widget = qobject_cast<QWidget*>(watched);
    const std::string id = widget ? widget->objectName().toStdString() : std::string();
    switch (event->type()) {
    case QEvent::Enter:
    case QEvent::MouseMove:
        if (qobject_cast<QPushButton*>(widget))
            form_.deliver(id, ui::Event::MouseMove);
        break;
    case QEvent::MouseButtonRelease: {
        if (qobject_cast<QPushButton*>(widget))
            break;
        // A click on the control itself; a click on a control inside it is that one's.
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint at = mouse->position().toPoint();
        if (mouse->button() == Qt::LeftButton && widget->rect().contains(at) && !widget->childAt(at))
            form_.deliver(id, ui::Event::Click);
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

bool FormWidgets::clickButton(bool (*which)(const ControlDef&))
{
    for (const ControlDef& def : form_.definition().controls) {
        if (def.kind == ControlKind::Button && which(def)) {
            auto* button = qobject_cast<QPushButton*>(controls_.at(def.id()));
            if (button->isVisible() && button->isEnabled()) {
                button->click();
                return true;
            }
        }
    }
    return false;
}

bool FormWidgets::keyPressed(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        if (clickButton([](const ControlDef& c) { return c.isCancel; }))
            return true;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (clickButton([](const ControlDef& c) { return c.isDefault; }))
            return true;
        break;
    default:
        break;
    }
    // Only keys that produce a character; arrows and function keys do not.
    if (event->text().isEmpty())
        return false;
    form_.deliver("", ui::Event::KeyPress, event->text().at(0).unicode());
    return true;
}

void FormWidgets::paintBorder(QWidget* window)
{
    if (!raisedBorder_)
        return;
    // The raised border of a dialog window without a title bar.
    QPainter painter(window);
    QStyleOptionFrame frame;
    frame.initFrom(window);
    frame.lineWidth = 2;
    frame.state |= QStyle::State_Raised;
    window->style()->drawPrimitive(QStyle::PE_Frame, &frame, &painter, window);
}

QtRenderer::QtRenderer()
{
    QApplication::setWindowIcon(applicationIcon());
}

QtRenderer::~QtRenderer() = default;

std::unique_ptr<ui::FormView> QtRenderer::createView(ui::Form& form, const ui::Form* owner)
{
    return std::make_unique<FormWidgets>(*this, form, owner);
}

void QtRenderer::post(std::function<void()> task)
{
    QTimer::singleShot(0, qApp, std::move(task));
}

void QtRenderer::quit()
{
    QCoreApplication::exit(0);
}

QWidget* QtRenderer::window(const ui::Form* form) const
{
    const auto found = windows_.find(form);
    return found == windows_.end() ? nullptr : found->second.data();
}

}  // namespace ferro::qt
