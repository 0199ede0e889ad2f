#include "info/frmSplash.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QStyleOptionFrame>
#include <QTimer>

#include "app/AppWindows.h"
#include "app/ClassicLook.h"
#include "info/Branding.h"

using namespace ferro;

frmSplash::frmSplash(AppWindows& windows, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint), windows_(windows)
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowIcon(applicationIcon());
    setFixedSize(px(7815), px(4605));
    setFocusPolicy(Qt::StrongFocus);
    createControls();
    Form_Load();
}

void frmSplash::createControls()
{
    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameStyle(QFrame::Box | QFrame::Sunken);  // etched, without a caption
    Frame1->setGeometry(twipsRect(150, 60, 7425, 4395));
    Frame1->installEventFilter(this);

    auto* imgLogo = new QLabel(Frame1);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    // The icon stretched to fill its box, drawn from its large size so that it stays sharp.
    imgLogo->setGeometry(twipsRect(360, 795, 1815, 2625));
    imgLogo->setPixmap(applicationIcon().pixmap(256, 256).scaled(imgLogo->size(), Qt::IgnoreAspectRatio,
                                                                 Qt::SmoothTransformation));

    struct LabelDesign {
        const char* name;
        QString text;
        double points;
        bool bold;
        bool rightAligned;
        bool sizedToText;
        QRect where;
    };
    const LabelDesign labels[] = {
        {"lblProductName", QStringLiteral("FerroWind"), 32.25, true, false, true,
         twipsRect(2280, 1140, 4620, 765)},
        {"lblCompanyProduct", QStringLiteral("Hollowmere"), 18, true, false, true,
         twipsRect(2355, 705, 2250, 435)},
        {"lblPlatform", QStringLiteral("Windows"), 15.75, true, true, true, twipsRect(5475, 2340, 1380, 360)},
        {"lblVersion", QStringLiteral("1.1.0"), 12, true, true, true, twipsRect(6330, 2700, 525, 285)},
        {"lblCompany", QStringLiteral("Hollowmere"), 8.25, false, false, false, twipsRect(4560, 3270, 2415, 255)},
        {"lblCopyright", QString::fromUtf8(kCopyrightLine), 8.25, false, false, false,
         twipsRect(4560, 3060, 2415, 255)},
        {"lblWarning", QStringLiteral("The absolute BEST internet speed booster...and it's FREE!"), 8.25, false,
         false, false, twipsRect(150, 3960, 6855, 195)},
    };
    for (const LabelDesign& design : labels) {
        auto* label = new QLabel(design.text, Frame1);
        label->setObjectName(QString::fromLatin1(design.name));
        label->setFont(classicFont(QStringLiteral("Arial"), design.points, design.bold));
        label->setAlignment((design.rightAligned ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop);
        label->setGeometry(design.where);
        if (design.sizedToText) {
            // Keeps the edge its text is aligned to.
            label->adjustSize();
            if (design.rightAligned)
                label->move(design.where.right() - label->width() + 1, design.where.top());
        }
    }

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    connect(Timer1, &QTimer::timeout, this, &frmSplash::Timer1_Timer);
}

void frmSplash::paintEvent(QPaintEvent*)
{
    // The raised border of a dialog window without a title bar.
    QPainter painter(this);
    QStyleOptionFrame frame;
    frame.initFrom(this);
    frame.lineWidth = 2;
    frame.state |= QStyle::State_Raised;
    style()->drawPrimitive(QStyle::PE_Frame, &frame, &painter, this);
}

void frmSplash::Form_Load()
{
    Timer1->setInterval(windows_.context().splashIntervalMs);
    Timer1->start();
}

void frmSplash::Timer1_Timer()
{
    windows_.showMain();
    hide();
    Timer1->stop();
}

void frmSplash::keyPressEvent(QKeyEvent* event)
{
    // Only keys that produce a character; arrows and function keys do nothing.
    if (!event->text().isEmpty())
        Form_KeyPress();
    else
        QWidget::keyPressEvent(event);
}

bool frmSplash::eventFilter(QObject* watched, QEvent* event)
{
    // A click on the panel itself; clicks on its labels and logo do nothing.
    if (watched == Frame1 && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint at = mouse->position().toPoint();
        if (mouse->button() == Qt::LeftButton && Frame1->rect().contains(at) && !Frame1->childAt(at))
            Frame1_Click();
    }
    return QWidget::eventFilter(watched, event);
}

void frmSplash::Form_KeyPress()
{
    goOnEarly();
}

void frmSplash::Frame1_Click()
{
    goOnEarly();
}

void frmSplash::goOnEarly()
{
    // Goes on to the main window as the timer would, so that the program is
    // never left without a window.
    windows_.showMain();
    close();
}
