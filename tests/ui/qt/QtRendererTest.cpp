// The Qt renderer: every control of every definition built as defined, and
// the widgets' events wired to the windows' handlers.
#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include "app/frmMain.h"
#include "info/frmAbout.h"
#include "info/frmSplash.h"
#include "tuning/TuningPlan.h"
#include "ui/RenderedForm.h"
#include "ui/qt/ClassicLook.h"
#include "ui/qt/QtWindowTest.h"
#include "wizard/frmBoost.h"

namespace ferro::test {
namespace {

ui::Color bgr(const QColor& c)
{
    return static_cast<ui::Color>(c.red() | c.green() << 8 | c.blue() << 16);
}

// Reads back what the Qt renderer made of a form.
class QtRendered final : public RenderedForm {
public:
    explicit QtRendered(QWidget* window) : window_(window) {}

    QWidget* client() const
    {
        // Under a menu bar, the one widget of the window's layout.
        QLayout* layout = window_->layout();
        return layout ? layout->itemAt(0)->widget() : window_;
    }
    int clientWidth() const override { return client()->width(); }
    int clientHeight() const override { return client()->height(); }
    std::string caption() const override { return window_->windowTitle().toStdString(); }

    std::optional<RenderedControl> control(const std::string& id) const override
    {
        QObject* object = window_->findChild<QObject*>(QString::fromStdString(id));
        RenderedControl made;
        if (auto* timer = qobject_cast<QTimer*>(object)) {
            made.visible = true;
            made.enabled = timer->isActive();
            return made;
        }
        if (auto* action = qobject_cast<QAction*>(object)) {
            made.caption = action->text().toStdString();
            made.visible = action->isVisible();
            made.enabled = action->isEnabled();
            return made;
        }
        auto* widget = qobject_cast<QWidget*>(object);
        if (!widget)
            return std::nullopt;
        QRect geometry = widget->geometry();
        if (auto* picture = qobject_cast<QLabel*>(widget->parentWidget()))
            geometry.translate(-picture->contentsRect().topLeft());  // inside its border
        made.left = geometry.left(), made.top = geometry.top();
        made.width = geometry.width(), made.height = geometry.height();
        made.fontFace = qt::namedFamily(widget->font()).toStdString();
        made.points = widget->font().pointSizeF();
        made.bold = widget->font().bold();
        made.underline = widget->font().underline();
        const QPalette& palette = widget->palette();
        if (qobject_cast<QLineEdit*>(widget)) {
            if (palette.isBrushSet(QPalette::Active, QPalette::Text))
                made.foreColor = bgr(palette.color(QPalette::Text));
            if (palette.isBrushSet(QPalette::Active, QPalette::Base))
                made.backColor = bgr(palette.color(QPalette::Base));
        } else {
            if (palette.isBrushSet(QPalette::Active, QPalette::WindowText))
                made.foreColor = bgr(palette.color(QPalette::WindowText));
            if (widget->autoFillBackground())
                made.backColor = bgr(palette.color(QPalette::Window));
        }
        if (auto* label = qobject_cast<QLabel*>(widget))
            made.caption = label->text().toStdString();
        else if (auto* button = qobject_cast<QPushButton*>(widget))
            made.caption = button->text().toStdString();
        else if (auto* group = qobject_cast<QGroupBox*>(widget))
            made.caption = group->title().toStdString();
        else if (auto* combo = qobject_cast<QComboBox*>(widget))
            made.caption = combo->currentText().toStdString();
        else if (auto* edit = qobject_cast<QLineEdit*>(widget))
            made.caption = edit->text().toStdString();
        else if (auto* box = qobject_cast<QTextEdit*>(widget))
            made.caption = box->toPlainText().toStdString();
        made.visible = !widget->isHidden();
        made.enabled = widget->isEnabled();
        return made;
    }

private:
    QWidget* window_;
};

TEST_F(QtWindowTest, EveryControlOfEveryWindowIsBuiltAsDefined)
{
    frmSplash splash(*windows);
    frmMain main(*windows);
    frmBoost boost(*windows);
    frmAbout about(*windows);
    for (ui::Form* form : std::initializer_list<ui::Form*>{&splash, &main, &boost, &about}) {
        const auto view = renderer.createView(*form, nullptr);
        expectRenderedAsDefined(form->definition(), QtRendered(window(form)));
        EXPECT_EQ(window(form)->objectName().toStdString(), form->definition().name);
    }
}

TEST_F(QtWindowTest, WindowsHaveTheirBordersAndButtons)
{
    const struct {
        ui::Form* form;
        bool titleBar, minimise, close;
    } cases[] = {
        {&windows->showSplash(), false, false, false},
        {&windows->showMain(), true, true, true},
        {&windows->showBoost(), true, false, true},
        {&windows->showAbout(), true, false, true},
    };
    for (const auto& c : cases) {
        QWidget* w = window(c.form);
        SCOPED_TRACE(w->objectName().toStdString());
        EXPECT_EQ(!(w->windowFlags() & Qt::FramelessWindowHint), c.titleBar);
        EXPECT_EQ(bool(w->windowFlags() & Qt::WindowMinimizeButtonHint), c.minimise);
        EXPECT_EQ(bool(w->windowFlags() & Qt::WindowCloseButtonHint), c.close);
        EXPECT_FALSE(w->windowFlags() & Qt::WindowMaximizeButtonHint);
        EXPECT_EQ(w->minimumSize(), w->maximumSize()) << "a fixed border";
        // The program's icon where a title bar can show it.
        EXPECT_EQ(!w->windowIcon().isNull(), c.titleBar);
    }
    EXPECT_EQ(window(windows->about())->parentWidget(), window(windows->main())) << "owned, no taskbar entry";
}

// A screen reader announces a new window by its role, frame or dialog, and
// its title; a plain widget's "client" (AT-SPI's "filler") it passes over.
TEST_F(QtWindowTest, EveryWindowReachesAssistiveTechnologyAsAFrameOrDialogWithItsTitle)
{
    const struct {
        ui::Form* form;
        QAccessible::Role role;
    } cases[] = {
        {&windows->showSplash(), QAccessible::Window},
        {&windows->showMain(), QAccessible::Window},
        {&windows->showBoost(), QAccessible::Window},  // a window of its own, in the taskbar
        {&windows->showAbout(), QAccessible::Dialog},  // owned by the main window
    };
    for (const auto& c : cases) {
        QWidget* w = window(c.form);
        SCOPED_TRACE(w->objectName().toStdString());
        QAccessibleInterface* reached = QAccessible::queryAccessibleInterface(w);
        ASSERT_NE(reached, nullptr);
        EXPECT_EQ(reached->role(), c.role);
        EXPECT_EQ(reached->text(QAccessible::Name).toStdString(), c.form->caption());
    }
}

TEST_F(QtWindowTest, TheMainWindowsFrameShowsItsCaptionOnItsColourInAGroovedBorder)
{
    QWidget* frame = control(&windows->showMain(), "Frame1");
    const QImage shown = frame->grab().toImage();
    const int middle = shown.height() / 2, right = shown.width() - 1;
    const QColor dark(192, 192, 192), light(Qt::white), grey(128, 128, 128);
    // The groove: dark outside and light inside on the left, the other way round on the right.
    EXPECT_EQ(shown.pixelColor(0, middle), dark);
    EXPECT_EQ(shown.pixelColor(1, middle), light);
    EXPECT_EQ(shown.pixelColor(right - 1, middle), dark);
    EXPECT_EQ(shown.pixelColor(right, middle), light);
    // The top line runs behind the caption, which is yellow on the frame's grey.
    EXPECT_EQ(shown.pixelColor(3, 6), dark);
    EXPECT_EQ(shown.pixelColor(8, 6), grey);
    int yellowish = 0;  // the text's own pixels, its edges blended with the grey
    for (int x = 0; x < shown.width(); ++x) {
        for (int y = 0; y < 14; ++y) {
            const QColor c = shown.pixelColor(x, y);
            yellowish += c.red() > 200 && c.green() > 200 && c.blue() < 64;
        }
    }
    EXPECT_GT(yellowish, 20);
}

TEST_F(QtWindowTest, TheFirstTabStopHasTheFocusAndTheLinkItsPointer)
{
    const struct {
        ui::Form* form;
        const char* focused;
    } cases[] = {{&windows->showMain(), "cmdBoost"}, {&windows->showBoost(), "cmbConfirm_0"}, {&windows->showAbout(), "cmdOK"}};
    for (const auto& c : cases)
        EXPECT_EQ(window(c.form)->focusWidget(), control(c.form, c.focused)) << c.focused;
    EXPECT_EQ(control(windows->boost(), "Label1")->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_TRUE(control<QPushButton>(windows->about(), "cmdOK")->isDefault());
    // Pictures sized to their pictures.
    EXPECT_EQ(control(windows->main(), "Picture2")->size(), QSize(72, 46));
    EXPECT_EQ(control(windows->about(), "picIcon")->size(), QSize(32, 32));
}

TEST_F(QtWindowTest, ButtonsAndLabelsShowAllOfTheirText)
{
    ui::Form* forms[] = {&windows->showSplash(), &windows->showMain(), &windows->showBoost(), &windows->showAbout()};
    for (ui::Form* form : forms) {
        for (QPushButton* b : window(form)->findChildren<QPushButton*>())
            EXPECT_LE(b->fontMetrics().horizontalAdvance(b->text()) + 8, b->width()) << b->objectName().toStdString();
        for (QLabel* l : window(form)->findChildren<QLabel*>()) {
            if (l->text().isEmpty())
                continue;
            EXPECT_TRUE(l->parentWidget()->rect().contains(l->geometry())) << l->objectName().toStdString();
            const int height = l->wordWrap() ? l->heightForWidth(l->width()) : l->fontMetrics().height();
            EXPECT_LE(height, l->height()) << l->objectName().toStdString();
        }
    }
    auto* address = control<QTextEdit>(windows->about(), "RichTextBox1");
    EXPECT_LE(address->document()->size().height(), address->viewport()->height());
    EXPECT_LE(address->document()->idealWidth(), address->viewport()->width());
    const QRect platform = control(windows->splash(), "lblPlatform")->geometry();
    EXPECT_EQ(platform.right(), control(windows->splash(), "lblVersion")->geometry().right())
        << "right-aligned labels keep the right edge they share";
}

TEST_F(QtWindowTest, TheSliderMovesByKeysAndTrackClicksAndItsTextsFollow)
{
    frmBoost& wizard = windows->showBoost();
    auto* slider = control<QSlider>(&wizard, "Slider1");
    const struct {
        Qt::Key key;
        int speed;
    } keys[] = {{Qt::Key_Right, 57}, {Qt::Key_PageDown, 7}, {Qt::Key_PageUp, 57}, {Qt::Key_Left, 56}};
    for (const auto& k : keys) {
        QTest::keyClick(slider, k.key);
        EXPECT_EQ(wizard.state("Slider1").value, k.speed);
        EXPECT_EQ(control<QGroupBox>(&wizard, "Frame1")->title(),
                  QString("Select Connection Speed (%1 Kbps)").arg(k.speed));
        EXPECT_TRUE(control<QLineEdit>(&wizard, "SpdTxt")->text().startsWith(QString("%1 Kilobytes").arg(k.speed)));
    }
    // A click on the track beside the thumb moves it by a page.
    QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(slider->width() - 4, slider->height() / 2));
    EXPECT_EQ(wizard.state("Slider1").value, 106);
    EXPECT_EQ(control<QLineEdit>(&wizard, "SpdTxt")->text(), "106 Kilobytes per second Dial-Up Tandem/DSL/Satellite");
}

TEST_F(QtWindowTest, ATypedAnswerAndClicksLeadThroughTheWizardAndTheRunTicksByItself)
{
    frmBoost& wizard = windows->showBoost();
    control<QComboBox>(&wizard, "cmbConfirm_0")->setEditText("NO");
    QTest::mouseClick(control(&wizard, "cmdNext_0"), Qt::LeftButton);
    EXPECT_TRUE(control(&wizard, "lblInformation_2")->isVisible());
    QTest::mouseClick(control(&wizard, "cmdNext_0"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return control<QPushButton>(&wizard, "cmdNext_0")->text() == "Finished"; }, 10000));
    EXPECT_EQ(control<QLabel>(&wizard, "lblSetting_1")->text(), "Optimizations Complete");
    for (int i = 1; i <= 18; ++i)
        EXPECT_TRUE(control(&wizard, ("Text" + std::to_string(i)).c_str())->isVisible()) << i;
    EXPECT_FALSE(control(&wizard, "Slider1")->isEnabled());
    EXPECT_EQ(control(&wizard, "Picture1")->grab().toImage().pixelColor(21, 13), QColor(0, 255, 0))
        << "one solid green bar";

    QTest::mouseClick(control(&wizard, "Label1"), Qt::LeftButton);
    EXPECT_EQ(os.openedUrls, std::vector<std::string>{"https://speed.cloudflare.com/"});
}

TEST_F(QtWindowTest, ATitleBarCloseAsksTheWindowWhichUnloadsIt)
{
    frmBoost& wizard = windows->showBoost();
    QPointer<QWidget> widget = window(&wizard);
    closeFromTitleBar(&wizard);
    ASSERT_EQ(os.boxes.size(), 1u);
    EXPECT_EQ(os.boxes[0].text, "Setup was not completed.");
    EXPECT_EQ(windows->boost(), nullptr);
    EXPECT_FALSE(widget->isVisible());
    finishEvents();
    EXPECT_TRUE(widget.isNull()) << "released once the handler returned";
}

TEST_F(QtWindowTest, TheMainWindowsHintsMenusAndExit)
{
    frmMain& main = windows->showMain();
    auto* hint = control<QLabel>(&main, "Label1");
    QTest::mouseMove(control(&main, "cmdRestore"));
    EXPECT_EQ(hint->text(), "Restore registry from backup (if one was made).");
    QTest::mouseMove(control(&main, "cmdExit"));
    EXPECT_EQ(hint->text(), "Exit program without any changes to your system.");

    QStringList menu;
    for (QAction* a : window(&main)->layout()->menuBar()->actions())
        menu << a->objectName() + "=" + a->text();
    EXPECT_EQ(menu, QStringList({"About=&About", "Nice=&I Am Nice", "Help=&Help"}));
    window(&main)->findChild<QAction*>("Help")->trigger();
    ASSERT_EQ(os.boxes.size(), 1u);
    EXPECT_EQ(os.boxes[0].owner, &main);

    QTest::mouseClick(control(&main, "cmdBoost"), Qt::LeftButton);
    QTest::mouseClick(control(&main, "cmdExit"), Qt::LeftButton);
    EXPECT_EQ(windows->main(), nullptr);
    EXPECT_EQ(windows->boost(), nullptr);
    EXPECT_EQ(os.boxes.size(), 1u) << "no wizard notice";
}

TEST_F(QtWindowTest, TheSplashGoesOnByItsTimerOrACharacterKeyOrAClickOnItsPanel)
{
    windows->showSplash();
    ASSERT_TRUE(QTest::qWaitFor([&] { return windows->main() != nullptr; }, 5000));
    EXPECT_TRUE(window(windows->main())->isVisible());
    EXPECT_FALSE(window(windows->splash())->isVisible());
    windows->unload(*windows->splash());
    windows->unload(*windows->main());
    finishEvents();

    frmSplash& splash = windows->showSplash();
    for (Qt::Key key : {Qt::Key_Left, Qt::Key_F1, Qt::Key_Shift})
        QTest::keyClick(window(&splash), key);
    for (const char* id : {"lblProductName", "lblWarning", "imgLogo"})
        QTest::mouseClick(control(&splash, id), Qt::LeftButton);
    EXPECT_EQ(windows->main(), nullptr) << "no character, and no click on the panel itself";
    QTest::keyClick(window(&splash), Qt::Key_A);
    EXPECT_NE(windows->main(), nullptr);
    EXPECT_EQ(windows->splash(), nullptr);
    windows->unload(*windows->main());
    finishEvents();

    frmSplash& again = windows->showSplash();
    QWidget* panel = control(&again, "Frame1");
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(panel->width() - 8, 8));
    EXPECT_NE(windows->main(), nullptr);
    EXPECT_EQ(windows->splash(), nullptr);
}

TEST_F(QtWindowTest, AboutTakesEnterAndEscapeAsOkAndPrintsTheSelectedText)
{
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        windows->showMain();
        frmAbout& about = windows->showAbout();
        QTest::keyClick(control(&about, "RichTextBox1"), key);
        EXPECT_EQ(windows->about(), nullptr) << key;
        EXPECT_TRUE(window(windows->main())->isVisible()) << key;
        finishEvents();
    }
    frmAbout& about = windows->showAbout();
    auto* address = control<QTextEdit>(&about, "RichTextBox1");
    QTextCursor cursor = address->textCursor();
    cursor.setPosition(0);
    cursor.movePosition(QTextCursor::EndOfWord, QTextCursor::KeepAnchor);
    address->setTextCursor(cursor);
    QTest::mouseClick(control(&about, "Command1"), Qt::LeftButton);
    EXPECT_EQ(os.printedTexts, std::vector<std::string>{"Hollowmere"});
}

}  // namespace
}  // namespace ferro::test
