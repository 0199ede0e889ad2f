#pragma once
// A boost undone: the backup taken in a program folder, a boost marked, a
// value changed, the restore putting it back (by whichever road the test
// takes: AnyFolderTest.cpp, AnsiRoadTest.cpp).
#include <gtest/gtest.h>

#include <string>

#include "tuning/Backup.h"
#include "ui/MemoryRegistry.h"

namespace ferro::test {

inline const ValuePath kTtl{RootKey::LocalMachine, "System\\CurrentControlSet\\Services\\VxD\\MSTCP", "DefaultTTL"};

inline void expectBackupAndRestoreWork(MemoryRegistry& store, const std::string& programFolder)
{
    ASSERT_EQ(writeValue(store, kTtl, kRegSz, {'3', '2', 0}), kStatusOk);
    const BackupResult backup = writeBackup(store, programFolder);
    ASSERT_TRUE(backup.ok) << backup.failure;
    ASSERT_TRUE(BoostMark(programFolder).result().ok);
    ASSERT_EQ(writeValue(store, kTtl, kRegSz, {'6', '4', 0}), kStatusOk);

    const RestoreResult restored = restoreRegistry(store, programFolder);
    EXPECT_TRUE(restored.ok() && restored.usedBackup) << restored.error;
    ValueState now;
    ASSERT_EQ(readValue(store, kTtl, now), kStatusOk);
    EXPECT_EQ(now.data, (Bytes{'3', '2', 0}));
}

}  // namespace ferro::test
