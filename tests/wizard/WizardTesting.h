#pragma once
// A wizard on a fresh embedded store in a folder of its own, with the
// recording OS services, driven through its controls as a user would.
#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <QtTest/qtestspontaneevent.h>

#include <functional>
#include <memory>

#include "registry/SqliteStore.h"
#include "ui/FakeOsServices.h"
#include "wizard/frmBoost.h"

namespace ferro::test {

class WizardTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::unique_ptr<SqliteStore> store = std::make_unique<SqliteStore>(storePath());
    FakeOsServices os;
    std::unique_ptr<frmBoost> wizard;

    std::string storePath() const { return dir.filePath(QStringLiteral("registry.db")).toStdString(); }
    std::string folder() const { return dir.path().toStdString(); }

    // The program's own 3000 ms by default: steps then run only when a test fires them.
    frmBoost& open(int intervalMs = 3000, RegistryBackend* backend = nullptr)
    {
        wizard = std::make_unique<frmBoost>(os, backend ? *backend : *store, folder(), intervalMs);
        wizard->show();
        return *wizard;
    }

    template <typename T = QWidget>
    T* control(const QString& name) const
    {
        T* found = wizard->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    QPushButton* button(const QString& name) const { return control<QPushButton>(name); }
    QString text(const QString& name) const
    {
        if (auto* label = wizard->findChild<QLabel*>(name))
            return label->text();
        return button(name)->text();
    }
    QSlider* slider() const { return control<QSlider>(QStringLiteral("Slider1")); }
    QTimer* stepTimer() const { return control<QTimer>(QStringLiteral("Timer1")); }
    void click(const QString& name) { button(name)->click(); }
    void answer(const QString& text) { control<QComboBox>(QStringLiteral("cmbConfirm_0"))->setEditText(text); }

    // The page controls the user can see, in a fixed order.
    QStringList shownPage() const
    {
        QStringList shown;
        for (const char* name : {"lblInformation_0", "lblInformation_1", "lblInformation_2",
                                 "lblInformation_3", "lblInformation_4", "lblNote_0", "lblNote_1",
                                 "lblNote_2", "lblConfirm_0", "cmbConfirm_0", "lblBackingUp_0",
                                 "lblSetting_0", "lblOptimizing_0", "lblSetting_1", "cmdBack_0",
                                 "cmdNext_0", "cmdRestart_0", "cmdRestart_1"})
            if (control(QLatin1String(name))->isVisible())
                shown << QLatin1String(name);
        return shown;
    }

    int shownSegments() const
    {
        int shown = 0;
        for (int i = 1; i <= 18; ++i)
            shown += control(QStringLiteral("Text%1").arg(i))->isVisible() ? 1 : 0;
        return shown;
    }

    // Runs the armed step at once, as if its interval had passed.
    void fireStep()
    {
        QTimer* timer = stepTimer();
        ASSERT_TRUE(timer->isActive()) << "no step is armed";
        QTimerEvent due(timer->timerId());
        QCoreApplication::sendEvent(timer, &due);
    }
    void fireRun()
    {
        for (int i = 0; i < 19 && !::testing::Test::HasFatalFailure(); ++i)
            fireStep();
    }

    void goToRunPage(bool backup = false)
    {
        answer(backup ? QStringLiteral("YES") : QStringLiteral("NO"));
        click(QStringLiteral("cmdNext_0"));
        if (backup)
            click(QStringLiteral("cmdNext_0"));
        click(QStringLiteral("cmdNext_0"));
    }

    // The close box or system menu of the title bar, as the window system delivers it.
    void closeFromTitleBar()
    {
        QCloseEvent close;
        QSpontaneKeyEvent::setSpontaneous(&close);
        QCoreApplication::sendEvent(wizard->windowHandle(), &close);
    }

    static bool waitUntil(const std::function<bool()>& done, int timeoutMs = 10000)
    {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < timeoutMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return done();
    }

    // A value as it stands in the store: its type and bytes, or absent.
    ValueState value(RootKey root, const std::string& key, const std::string& name)
    {
        ValueState state;
        readValue(*store, {root, key, name}, state);
        return state;
    }
};

inline Bytes sz(const std::string& text)
{
    Bytes bytes(text.begin(), text.end());
    bytes.push_back(0);
    return bytes;
}

}  // namespace ferro::test
