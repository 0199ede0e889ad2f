#include "app/AppTestSupport.h"

#include <QCloseEvent>
#include <QWindow>
#include <QtTest/qtestspontaneevent.h>

namespace ferro::test {

void AppTest::SetUp()
{
    ASSERT_TRUE(dir_.isValid());
    reopen(SqliteStore::Mode::ReadWrite);
}

void AppTest::TearDown()
{
    windows.reset();
    finishDeletes();
    store.reset();
}

void AppTest::reopen(SqliteStore::Mode mode)
{
    windows.reset();
    finishDeletes();
    store.reset();
    store = std::make_unique<SqliteStore>(storePath(), mode);
    AppContext context{os, *store, folder(), kStepIntervalMs, kSplashIntervalMs};
    context.endProgram = [this] { ++programEnds; };
    windows = std::make_unique<AppWindows>(std::move(context));
}

std::string AppTest::storePath() const
{
    return dir_.filePath(QStringLiteral("registry.db")).toStdString();
}

std::string AppTest::valueText(RootKey root, const std::string& key, const std::string& name)
{
    ValueState state;
    if (readValue(*store, {root, key, name}, state) != kStatusOk)
        return "absent";
    if (state.type == kRegDword && state.data.size() == 4)
        return std::to_string(state.data[0] | state.data[1] << 8 | state.data[2] << 16 |
                              std::uint32_t(state.data[3]) << 24);
    std::string text(state.data.begin(), state.data.end());
    if (!text.empty() && text.back() == '\0')
        text.pop_back();
    return text;
}

void AppTest::closeFromTitleBar(QWidget& window)
{
    // Delivered to the native window as the window system does for the close
    // box or Alt+F4, so the widget's whole close runs with a spontaneous event.
    ASSERT_NE(window.windowHandle(), nullptr);
    QCloseEvent close;
    QSpontaneKeyEvent::setSpontaneous(&close);
    QCoreApplication::sendEvent(window.windowHandle(), &close);
}

void AppTest::finishDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace ferro::test
