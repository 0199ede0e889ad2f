#include "wizard/frmBoost.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTimer>

#include "platform/OsServices.h"
#include "platform/QtOsServices.h"
#include "tuning/Backup.h"
#include "tuning/TuningPlan.h"

namespace {

using ferro::MsgButtons;
using ferro::MsgIcon;


const char* const kInformation[] = {
    "In order for FerroLink to ensure maximum internet connection, it must edit some settings "
    "in your registry. If you wish to restore your registry at a later point, it  must backup "
    "those settings now.",
    "FerroLink has now backed up your registry settings.",
    "FerroLink will now edit your system's settings and registry for an improved internet "
    "connection.",
    "FerroLink is now optimizing your system's settings and registry to boost your internet "
    "connection.",
    "In order for settings to take effect, you must restart your system.",
};
const char* const kNotes[] = {
    "It is highly recomended that you backup your registry.",
    "Optimization will begin once you click next.",
    "Would you like to restart your system now?",
};
const char* const kSavingTo = "Saving settings to file:";
const char* const kFrameCaption = "Select Connection Speed (Kbps). Use arrow keys for fine tuning";
const char* const kSpeedTestUrl = "https://speed.cloudflare.com/";
const char* const kSpeedTestCaption =
    "Click here to determine your actual connection speed with the Cloudflare speed test "
    "(speed.cloudflare.com)";

// Colours of the window's design (0x00BBGGRR there).
const QColor kBlue(0, 0, 255);
const QColor kGreen(0, 255, 0);
const QColor kLightGrey(0xE0, 0xE0, 0xE0);

// Positions are pixels at 96 dpi, 15 twips each; Qt scales them on denser screens.
constexpr int kClientWidth = 441;   // 6615 twips
constexpr int kClientHeight = 400;  // 6000 twips
constexpr int kSegmentPitch = 24;   // 360 twips
constexpr int kSegmentWidth = 17;   // 255 twips
constexpr int kBarWidth = 425;      // 6375 twips
constexpr int kBarHeight = 25;

// "MS Sans Serif" of the design: the system's user-interface font.
QFont uiFont(qreal points, bool bold = false, bool underline = false)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

QFont arialFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);  // Liberation Sans stands in where Arial is missing
    font.setPointSizeF(9.75);
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

template <typename Control>
Control* make(QWidget* parent, const QString& name, const QRect& geometry)
{
    auto* control = new Control(parent);
    control->setObjectName(name);
    control->setGeometry(geometry);
    return control;
}

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, const QRect& geometry)
{
    auto* label = make<QLabel>(parent, name, geometry);
    label->setText(text);
    label->setFont(arialFont());
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& text,
                        const QRect& geometry, const QFont& font)
{
    auto* button = make<QPushButton>(parent, name, geometry);
    button->setText(text);
    button->setFont(font);
    button->setAutoDefault(false);
    return button;
}

template <typename Array>
void hideAll(const Array& controls)
{
    for (QWidget* control : controls)
        control->hide();
}

QString element(const char* name, std::size_t index)
{
    return QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(index);
}

}  // namespace

frmBoost::frmBoost(ferro::OsServices& os, ferro::RegistryBackend& registry,
                   std::string programFolder, int stepIntervalMs, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      os_(os),
      registry_{registry, ferro::registryMessageSink(os, this)},
      programFolder_(std::move(programFolder))
{
    setObjectName(QStringLiteral("frmBoost"));
    setWindowTitle(ferro::kApplicationTitle);
    setFont(uiFont(9.75));
    setFixedSize(kClientWidth, kClientHeight);
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());

    // One single-shot timer walks the plan; it is armed again at the end of
    // each tick, so the interval counts from there.
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer1->setInterval(stepIntervalMs);
    connect(Timer1, &QTimer::timeout, this, &frmBoost::Timer1_Timer);

    createControls();
    CurrentStep = 0;
    Setup_Form();
}

void frmBoost::createControls()
{
    for (std::size_t i = 0; i < lblInformation.size(); ++i)
        lblInformation[i] = makeLabel(this, element("lblInformation", i), kInformation[i],
                                      {16, 12, 409, 66});
    for (std::size_t i = 0; i < lblNote.size(); ++i) {
        lblNote[i] = makeLabel(this, element("lblNote", i), kNotes[i], {16, 84, 409, 36});
        setColour(lblNote[i], QPalette::WindowText, i < 2 ? kBlue : Qt::black);
    }
    lblBackingUp[0] = makeLabel(this, element("lblBackingUp", 0), kSavingTo, {16, 84, 409, 18});
    // The backup status sits under the file name, with room for a failure
    // reason that names a path.
    lblSetting[0] = makeLabel(this, element("lblSetting", 0), "...", {16, 102, 409, 60});
    lblOptimizing[0] = makeLabel(this, element("lblOptimizing", 0), "Optimizing:", {16, 84, 84, 20});
    lblSetting[1] = makeLabel(this, element("lblSetting", 1), "...", {100, 84, 325, 20});

    lblConfirm[0] = makeLabel(this, element("lblConfirm", 0), "Backup registry?", {16, 128, 120, 24});
    lblConfirm[0]->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    cmbConfirm[0] = make<QComboBox>(this, element("cmbConfirm", 0), {140, 128, 90, 24});
    cmbConfirm[0]->setFont(arialFont());
    cmbConfirm[0]->setEditable(true);
    cmbConfirm[0]->setInsertPolicy(QComboBox::NoInsert);
    cmbConfirm[0]->addItems({QStringLiteral("YES"), QStringLiteral("NO")});
    cmbConfirm[0]->setCurrentIndex(-1);
    cmbConfirm[0]->setEditText(QString());

    const QFont smallUi = uiFont(8.25);
    cmdBack[0] = makeButton(this, element("cmdBack", 0), "Back", {16, 164, 89, 27}, smallUi);
    cmdNext[0] = makeButton(this, element("cmdNext", 0), "Next", {336, 164, 89, 27}, arialFont());
    cmdRestart[0] = makeButton(this, element("cmdRestart", 0), "Restart", {336, 164, 89, 27}, smallUi);
    cmdRestart[1] =
        makeButton(this, element("cmdRestart", 1), "Restart Later", {239, 164, 89, 27}, smallUi);
    connect(cmdNext[0], &QPushButton::clicked, this, [this] { cmdNext_Click(0); });
    connect(cmdBack[0], &QPushButton::clicked, this, [this] { cmdBack_Click(0); });
    for (int i = 0; i < static_cast<int>(cmdRestart.size()); ++i)
        connect(cmdRestart[i], &QPushButton::clicked, this, [this, i] { cmdRestart_Click(i); });

    Frame1 = make<QGroupBox>(this, QStringLiteral("Frame1"), {8, 202, 425, 148});
    Frame1->setTitle(QLatin1String(kFrameCaption));
    Frame1->setFont(smallUi);
    Slider1 = make<QSlider>(Frame1, QStringLiteral("Slider1"), {12, 24, 401, 30});
    Slider1->setOrientation(Qt::Horizontal);
    Slider1->setRange(0, static_cast<int>(ferro::kMaxSliderSpeed));
    Slider1->setValue(static_cast<int>(ferro::kDefaultSpeed));
    Slider1->setSingleStep(1);
    Slider1->setPageStep(50);
    Slider1->setTickPosition(QSlider::NoTicks);
    Slider1->setFocusPolicy(Qt::StrongFocus);
    // Connected after the start value is set: loading does not write the texts.
    connect(Slider1, &QSlider::valueChanged, this, &frmBoost::Slider1_Scroll);

    SpdTxt = make<QLineEdit>(Frame1, QStringLiteral("SpdTxt"), {12, 62, 401, 24});
    SpdTxt->setFont(uiFont(9.75));
    SpdTxt->setReadOnly(true);
    SpdTxt->setFocusPolicy(Qt::NoFocus);  // a display only
    setColour(SpdTxt, QPalette::Text, kBlue);
    setColour(SpdTxt, QPalette::Base, kLightGrey);

    Label1 = make<QLabel>(Frame1, QStringLiteral("Label1"), {12, 94, 401, 44});
    Label1->setText(QLatin1String(kSpeedTestCaption));
    Label1->setTextFormat(Qt::PlainText);
    Label1->setFont(uiFont(8.25, true, true));
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setCursor(Qt::PointingHandCursor);
    setColour(Label1, QPalette::WindowText, kBlue);
    Label1->installEventFilter(this);

    Picture1 = make<QFrame>(this, QStringLiteral("Picture1"), {7, 362, kBarWidth + 2, kBarHeight + 2});
    Picture1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Picture1->setLineWidth(1);
    setBackground(Picture1, kLightGrey);
    for (std::size_t i = 0; i < segments_.size(); ++i) {
        const int x = 1 + kSegmentPitch * static_cast<int>(i);
        segments_[i] = make<QFrame>(Picture1, QStringLiteral("Text%1").arg(i + 1),
                                    {x, 1, kSegmentWidth, kBarHeight});
        setBackground(segments_[i], kGreen);
        segments_[i]->hide();
    }
}

void frmBoost::closeSilently()
{
    closingSilently_ = true;
    close();
    closingSilently_ = false;
}

void frmBoost::closeEvent(QCloseEvent* event)
{
    // Only the user's own close from the title bar or system menu arrives
    // spontaneously; the program closing the window says nothing.
    if (event->spontaneous() && !closingSilently_)
        os_.messageBox(this, QStringLiteral("Setup was not completed."), ferro::kApplicationTitle,
                       MsgButtons::Ok, MsgIcon::None);
    // The run belongs to the window and ends with it.
    Timer1->stop();
    runStep_ = 0;
    event->accept();
}

bool frmBoost::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Label1 && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && Label1->rect().contains(mouse->position().toPoint())) {
            Label1_Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmBoost::showAll(std::initializer_list<QWidget*> controls)
{
    for (QWidget* control : controls)
        control->show();
}

frmBoost::Answer frmBoost::answer() const
{
    // A typed answer counts whatever its case and surrounding blanks.
    const QString text = cmbConfirm[0]->currentText().trimmed();
    if (text.compare(QLatin1String("YES"), Qt::CaseInsensitive) == 0)
        return Answer::Yes;
    if (text.compare(QLatin1String("NO"), Qt::CaseInsensitive) == 0)
        return Answer::No;
    return Answer::Other;
}

std::uint32_t frmBoost::speedLevel() const
{
    return static_cast<std::uint32_t>(Slider1->value());
}

void frmBoost::Clear_Form()
{
    // No events are processed here: a click or a step of the run never lands
    // in the middle of a page change.
    hideAll(lblInformation);
    hideAll(lblNote);
    hideAll(lblConfirm);
    hideAll(cmbConfirm);
    cmdNext[0]->hide();
    cmdNext[0]->setEnabled(true);
    cmdNext[0]->setText(QStringLiteral("Next"));
    hideAll(lblSetting);
    hideAll(lblBackingUp);
    cmdBack[0]->hide();
    cmdBack[0]->setEnabled(true);
    hideAll(lblOptimizing);
    hideAll(cmdRestart);
}

void frmBoost::Setup_Form()
{
    Clear_Form();
    switch (CurrentStep) {
    case 0:
        showAll({lblInformation[0], lblNote[0], lblConfirm[0]});
        cmbConfirm[0]->setCurrentText(QStringLiteral("YES"));
        showAll({cmbConfirm[0], cmdNext[0]});
        break;
    case 1:
        switch (answer()) {
        case Answer::Yes:
            showAll({lblInformation[1], lblBackingUp[0]});
            lblBackingUp[0]->setText(QLatin1String(kSavingTo) + QStringLiteral(" Backup.nbf"));
            showAll({lblSetting[0], cmdBack[0], cmdNext[0]});
            cmdNext[0]->setEnabled(false);
            Backup_Settings();
            break;
        case Answer::No:
            CurrentStep = 2;
            Setup_Form();
            break;
        case Answer::Other:
            // Neither YES nor NO: back to the question, as Back would do.
            CurrentStep = 0;
            Setup_Form();
            break;
        }
        break;
    case 2:
        showAll({lblInformation[2], lblNote[1], cmdBack[0], cmdNext[0]});
        break;
    case 3:
        showAll({lblInformation[3], cmdBack[0], cmdNext[0]});
        cmdNext[0]->setEnabled(false);
        showAll({lblOptimizing[0], lblSetting[1]});
        Create_Settings();
        break;
    case 4:
        showAll({lblInformation[4], lblNote[2], cmdRestart[0], cmdRestart[1], cmdBack[0]});
        break;
    default:
        break;
    }
}

void frmBoost::Backup_Settings()
{
    ferro::BackupResult result;
    if (runArmedOrUnderWay())
        result.failure = ferro::kBackupDuringRunText;
    else
        result = ferro::writeBackup(registry_.backend, programFolder_);
    // "Complete" only when both files are in place; otherwise the user reads
    // why, and may still go on.
    const QString status = result.ok ? QStringLiteral("Complete")
                                     : QStringLiteral("Failed: ") + QString::fromStdString(result.failure);
    lblSetting[0]->setText(status);
    lblSetting[0]->setToolTip(status);  // the whole reason, should it not fit
    cmdNext[0]->setEnabled(true);
}

void frmBoost::Create_Settings()
{
    // One run at a time: laying the page out again while a run is under way
    // joins that run rather than starting a second chain beside it.
    if (runStep_ != 0) {
        if (runStep_ > 1)
            lockForRun();
        return;
    }
    runStep_ = 1;
    Timer1->start();
}

void frmBoost::lockForRun()
{
    cmdBack[0]->setEnabled(false);
    Slider1->setEnabled(false);
}

void frmBoost::Timer1_Timer()
{
    const int step = runStep_;
    if (step == 1)
        lockForRun();
    noteBoostInBackup(step);
    if (runStep_ != step)
        return;  // the window was closed while the box was open
    const ferro::PlanEntry& entry = ferro::planEntry(step);
    // The speed is read at each step: the slider is its only copy.
    const bool wrote = ferro::applyPlanEntry(registry_, entry, speedLevel());
    if (runStep_ != step)
        return;  // the window was closed while an error box was open
    // The last step shows itself only when it wrote; the others always do.
    if (wrote || step < ferro::kPlanSteps) {
        lblSetting[1]->setText(QLatin1String(entry.caption));
        segments_[static_cast<std::size_t>(ferro::progressSegment(step) - 1)]->show();
    }
    if (step < ferro::kPlanSteps) {
        runStep_ = step + 1;
        Timer1->start();  // counted from now, after any error box of this step
        return;
    }
    runStep_ = 0;
    setBackground(Picture1, kGreen);
    lblSetting[1]->setText(QStringLiteral("Optimizations Complete"));
    cmdNext[0]->setText(QStringLiteral("Finished"));
    cmdNext[0]->setEnabled(true);
}

void frmBoost::noteBoostInBackup(int step)
{
    // Every step, so that a restore between two steps leaves the rest of the
    // run marked too; the box once a run is enough.
    const ferro::BackupResult noted = ferro::noteBoostWrite(programFolder_);
    if (!noted.ok && step == 1)
        os_.messageBox(this, QString::fromStdString(ferro::boostNoteFailureText(noted)), ferro::kApplicationTitle,
                       MsgButtons::Ok, MsgIcon::Warning);
}

void frmBoost::disarmRunNotStarted()
{
    // Nothing was written yet, so the run simply ends; Next arms a new one.
    if (runStep_ == 1) {
        Timer1->stop();
        runStep_ = 0;
    }
}

void frmBoost::cmdNext_Click(int /*index*/)
{
    ++CurrentStep;
    Setup_Form();
}

void frmBoost::cmdBack_Click(int /*index*/)
{
    // A run left behind would write while the user is back at the backup question.
    if (CurrentStep == 3)
        disarmRunNotStarted();
    // With "NO" the backup page was skipped on the way in, so Back skips it too.
    if (CurrentStep == 2 && answer() == Answer::No)
        CurrentStep = 0;
    else
        --CurrentStep;
    Setup_Form();
}

void frmBoost::cmdRestart_Click(int index)
{
    if (index == 1) {
        hide();  // stays loaded: showing it again brings back this page
        return;
    }
    if (index != 0)
        return;
    os_.messageBox(this,
                   QStringLiteral("Make sure you save any open programs.\r\n"
                                  "Windows will restart once you click OK."),
                   QStringLiteral("Ferrowinder"), MsgButtons::Ok, MsgIcon::Information);
    if (!os_.requestRestart())
        os_.messageBox(this,
                       QStringLiteral("The computer could not be restarted. "
                                      "Please restart it yourself."),
                       ferro::kApplicationTitle, MsgButtons::Ok, MsgIcon::Warning);
}

void frmBoost::Slider1_Scroll()
{
    const std::uint32_t speed = speedLevel();
    Frame1->setTitle(QString::fromStdString(ferro::speedCaption(speed)));
    SpdTxt->setText(QString::fromStdString(ferro::speedDescription(speed)));
}

void frmBoost::Label1_Click()
{
    os_.openUrl(QLatin1String(kSpeedTestUrl));
}
