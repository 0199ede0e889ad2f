#pragma once
// The program's windows over a fresh embedded store in a temporary folder,
// with the recording OS services and short intervals.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QWidget>

#include <ostream>

#include <memory>
#include <string>

#include "app/AppWindows.h"
#include "registry/SqliteStore.h"
#include "ui/FakeOsServices.h"

// Texts in failure messages as text.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace ferro::test {

class AppTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Windows over another handle to the same store, e.g. a read-only one.
    void reopen(SqliteStore::Mode mode);

    std::string storePath() const;
    std::string folder() const { return dir_.path().toStdString(); }
    // Reads a value of the store as its text (REG_SZ without the NUL,
    // REG_DWORD in decimal), or "absent".
    std::string valueText(RootKey root, const std::string& key, const std::string& name);

    template <class Control>
    static Control* control(const QWidget* window, const char* name)
    {
        Control* found = window ? window->findChild<Control*>(QString::fromLatin1(name)) : nullptr;
        EXPECT_NE(found, nullptr) << "no control " << name;
        return found;
    }

    // A close from the title bar, as the window system delivers it.
    static void closeFromTitleBar(QWidget& window);
    // Lets windows that were closed or ended go, as the event loop would.
    static void finishDeletes();

    QTemporaryDir dir_;
    std::unique_ptr<SqliteStore> store;
    FakeOsServices os;
    int programEnds = 0;
    std::unique_ptr<AppWindows> windows;
    static constexpr int kStepIntervalMs = 20;
    static constexpr int kSplashIntervalMs = 60;
};

}  // namespace ferro::test
