#pragma once
// The program's windows drawn by the Qt renderer, offscreen, over a registry
// in memory with the recording OS services: what the renderer adds to the
// windows' behaviour (widgets, fonts, colours, event wiring).
#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QTemporaryDir>
#include <QWidget>
#include <QWindow>
#include <QtTest/qtestspontaneevent.h>

#include <memory>

#include "app/AppWindows.h"
#include "ui/FakeOsServices.h"
#include "ui/MemoryRegistry.h"
#include "ui/qt/QtRenderer.h"

namespace ferro::test {

class QtWindowTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    MemoryRegistry store;
    FakeOsServices os;
    qt::QtRenderer renderer;
    std::unique_ptr<AppWindows> windows =
        std::make_unique<AppWindows>(AppContext{os, store, dir.path().toStdString(), 1, 60}, renderer);

    ~QtWindowTest() override
    {
        windows.reset();
        finishEvents();
    }

    QWidget* window(const ui::Form* form) const { return renderer.window(form); }
    template <class Control = QWidget>
    Control* control(const ui::Form* form, const char* id) const
    {
        Control* found = form && window(form) ? window(form)->findChild<Control*>(QString::fromLatin1(id)) : nullptr;
        EXPECT_NE(found, nullptr) << "no control " << id;
        return found;
    }

    // A close from the title bar, as the window system delivers it.
    void closeFromTitleBar(const ui::Form* form)
    {
        QCloseEvent close;
        QSpontaneKeyEvent::setSpontaneous(&close);
        QCoreApplication::sendEvent(window(form)->windowHandle(), &close);
    }
    // Lets the event loop run what was posted: unloaded windows go.
    static void finishEvents()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }
};

}  // namespace ferro::test
