// Windows refuses to replace a file that another program holds open without
// delete sharing, as a virus scanner does for a moment: a finished output
// waits that out before it takes the old file's place.
#ifdef _WIN32
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <thread>

#include "platform/fileops.h"
#include "support/ncsbytes.h"

namespace {

TEST(Replacing, WaitsOutAProgramHoldingTheOldFileOpen)
{
    ScratchDir dir;
    writebytes("new", "new");
    writebytes("old", "old");
    HANDLE held = CreateFileA("old", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::thread scanner([held] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        CloseHandle(held);
    });
    EXPECT_TRUE(replacefile("new", "old"));
    scanner.join();
    EXPECT_EQ(readbytes("old"), "new");
}

}  // namespace
#endif
