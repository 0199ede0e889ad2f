// The test main of the Windows build. Standard output is switched to binary
// mode: in text mode every "\n" leaves as CR LF, and the test listing that
// ctest's discovery reads would then carry a CR after each suite name.
#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    _setmode(_fileno(stdout), _O_BINARY);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
