#include "ui/qt/QtRenderer.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionFrame>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

#include "ui/qt/ClassicLook.h"
#include "ui/qt/Pictures.h"
#include "ui/qt/QtControl.h"

namespace ferro::qt {
namespace {

using ui::ControlDef;
using ui::ControlKind;

QString qText(const std::string& text) { return QString::fromStdString(text); }

// Calls back into the view for what a top-level window receives itself.
class WindowEvents {
public:
    virtual ~WindowEvents() = default;
    virtual void closeRequested() = 0;
    virtual bool keyPressed(QKeyEvent* event) = 0;
    virtual void paintBorder(QWidget* window) = 0;
};

class FormWindow final : public QWidget {
public:
    FormWindow(WindowEvents& events, QWidget* parent, Qt::WindowFlags flags)
        : QWidget(parent, flags), events_(events)
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
            QWidget::keyPressEvent(event);
    }
    void paintEvent(QPaintEvent* event) override
    {
        QWidget::paintEvent(event);
        events_.paintBorder(this);
    }

private:
    WindowEvents& events_;
};

// A form's window reaches assistive technology as what it is, a frame (a
// window of its own) or a dialog, named by its title: for a plain widget Qt
// says "client" (AT-SPI's "filler"), which screen readers do not announce as
// a new window.
QAccessibleInterface* formWindowAccessible(const QString&, QObject* object)
{
    auto* window = dynamic_cast<FormWindow*>(object);
    if (!window)
        return nullptr;
    return new QAccessibleWidget(window, window->windowType() == Qt::Dialog ? QAccessible::Dialog : QAccessible::Window);
}

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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void closeRequested() override { form_.deliver("", ui::Event::Close); }
    bool keyPressed(QKeyEvent* event) override;
    void paintBorder(QWidget* window) override;

    QWidget* createWindow(const ui::Form* owner);
    void place(const QtControl& control, QWidget* parent);
    void applyState(const ControlDef& def);
    void orderTabStops();
    bool clickButton(bool (*which)(const ControlDef&));

    QtRenderer& renderer_;
    ui::Form& form_;
    QPointer<QWidget> window_;
    QWidget* client_ = nullptr;  // where the controls sit (under the menu bar, if any)
    QtControlHost host_;
    std::map<std::string, std::unique_ptr<QtControl>> controls_;
    std::vector<QWidget*> tabOrder_;
    bool shownBefore_ = false;
    bool raisedBorder_ = false;  // a dialog frame without a title bar, drawn by us
};

FormWidgets::FormWidgets(QtRenderer& renderer, ui::Form& form, const ui::Form* owner)
    : renderer_(renderer), form_(form), host_{form, this, nullptr, false}
{
    const ui::FormDef& def = form.definition();
    host_.hasDefault = std::any_of(def.controls.begin(), def.controls.end(),
                                   [](const ControlDef& c) { return c.isDefault; });
    window_ = createWindow(owner);
    host_.window = window_;
    for (const ControlDef& control : def.controls) {
        QWidget* parent = control.parent.empty() ? client_ : controls_.at(control.parent)->widget();
        auto& made = controls_[control.id()] = QtControl::make(host_, control);
        made->create(parent);
        if (made->widget())
            place(*made, parent);
        applyState(control);
    }
    orderTabStops();
    renderer_.windows_[&form_] = window_;
    form_.attach(this);
}

void FormWidgets::orderTabStops()
{
    // In tab order; the first that can take the focus has it when the window opens.
    std::vector<const ControlDef*> tabOrder;
    for (const ControlDef& def : form_.definition().controls)
        if (def.tabIndex >= 0 && controls_.at(def.id())->focusable())
            tabOrder.push_back(&def);
    std::sort(tabOrder.begin(), tabOrder.end(),
              [](const ControlDef* a, const ControlDef* b) { return a->tabIndex < b->tabIndex; });
    for (std::size_t i = 1; i < tabOrder.size(); ++i)
        QWidget::setTabOrder(controls_.at(tabOrder[i - 1]->id())->widget(), controls_.at(tabOrder[i]->id())->widget());
    for (const ControlDef* def : tabOrder)
        tabOrder_.push_back(controls_.at(def->id())->widget());
    if (tabOrder.empty())
        window_->setFocusPolicy(Qt::StrongFocus);  // the window itself takes the keys
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
    auto* window = new FormWindow(*this, parent, flags);
    const QSize client(px(def.clientWidth), px(def.clientHeight));
    if (menu) {
        // The menu bar over the client area, in a plain window: a main
        // window's layout (toolbars, docks) would be code the program loads
        // and never uses.
        auto* layout = new QVBoxLayout(window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        layout->setMenuBar(new QMenuBar(window));
        client_ = new QWidget(window);
        client_->setFixedSize(client);
        layout->addWidget(client_);
        layout->setSizeConstraint(QLayout::SetFixedSize);
    } else {
        window->setFixedSize(client);
        client_ = window;
    }
    window->setObjectName(qText(def.name));
    window->setWindowTitle(qText(form_.caption()));
    // Only a window with a title bar has somewhere to show the icon. Set on
    // the window rather than on the application: Qt sends an application's
    // icon to each new window twice, a 256-pixel picture each time.
    if (titleBar)
        window->setWindowIcon(applicationIcon());
    window->setFont(qFont(def.font));
    if (def.backColor)
        setBackground(client_, qColor(*def.backColor));
    return window;
}

void FormWidgets::place(const QtControl& control, QWidget* parent)
{
    // Inside a bordered picture box positions count from inside its border.
    QPoint origin;
    if (auto* frame = qobject_cast<QLabel*>(parent))
        origin = frame->contentsRect().topLeft();
    const ControlDef& def = control.def();
    const QRect designed(origin + QPoint(px(def.left), px(def.top)), QSize(px(def.width), px(def.height)));
    control.widget()->setGeometry(control.geometry(designed));
}

void FormWidgets::controlChanged(const std::string& id)
{
    if (const ControlDef* def = form_.definition().find(id))
        applyState(*def);
}

void FormWidgets::applyState(const ControlDef& def)
{
    const ui::ControlState& state = form_.state(def.id());
    QtControl& control = *controls_.at(def.id());
    control.mirror(state);
    if (QWidget* widget = control.widget()) {
        widget->setToolTip(qText(state.toolTip));
        widget->setEnabled(state.enabled);
        widget->setVisible(state.visible);
    }
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
            auto* button = qobject_cast<QPushButton*>(controls_.at(def.id())->widget());
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
    QAccessible::installFactory(formWindowAccessible);  // once: Qt keeps one of each
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
