// The program's registry comes from its module at the first use: the store
// the windows then write is the user's, and a module that cannot be loaded
// is reported with the reason.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>

#include "ui/qt/ProgramModules.h"

namespace ferro::qt {
namespace {

TEST(ProgramModules, TheRegistryModuleOpensTheUsersStore)
{
    QTemporaryDir data;
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    const std::unique_ptr<RegistryBackend> registry = openRegistryFromModule();
    qputenv("XDG_DATA_HOME", saved);

    KeyHandle key = 0;
    ASSERT_EQ(registry->createKey(RootKey::LocalMachine, "Software\\Module", key), kStatusOk);
    ASSERT_EQ(registry->setValue(key, "v", kRegSz, Bytes{'1', 0}), kStatusOk);
    std::uint32_t type = 0;
    Bytes read;
    EXPECT_EQ(registry->queryValue(key, "v", type, read), kStatusOk);
    EXPECT_EQ(read, (Bytes{'1', 0}));
    registry->closeKey(key);
    EXPECT_TRUE(QFileInfo(data.filePath("FerroWinder/registry.db")).isFile());
}

TEST(ProgramModules, AModuleThatCannotBeLoadedSaysWhy)
{
    QString whyNot;
    EXPECT_EQ(moduleEntry(QStringLiteral("ferrowinder-none"), "entry", &whyNot), nullptr);
    EXPECT_TRUE(whyNot.contains(QStringLiteral("ferrowinder-none"))) << whyNot.toStdString();
}

}  // namespace
}  // namespace ferro::qt
