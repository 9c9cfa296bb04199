// The desktop program as a person uses it: started in a folder of
// recordings, names typed into its open-file dialog, each output reported.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

#include "convert/ncstoabf.h"
#include "guidriver.h"
#include "support/ncsbytes.h"

namespace {

// Pumps this thread's messages, so the driver's timer runs, until process ends.
void waitfor(HANDLE process)
{
    while (MsgWaitForMultipleObjects(1, &process, FALSE, 5000, QS_ALLINPUT) != WAIT_OBJECT_0) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }
}

TEST(WinTessel, ConvertsTheFilesTypedIntoItsDialog)
{
    const char* program = std::getenv("TESSEL_WINTESSEL");
    ASSERT_NE(program, nullptr) << "the test runner names the program";
    ScratchDir dir;
    for (int c = 1; c <= 3; ++c)
        writebytes("CSC" + std::to_string(c) + ".ncs", ncsrecording(300 + c, c).bytes());

    STARTUPINFOA start{};
    start.cb = sizeof start;
    PROCESS_INFORMATION run{};
    std::string command = std::string("\"") + program + "\"";
    ASSERT_TRUE(CreateProcessA(program, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &run));

    GuiDriver gui;
    gui.inprocess(run.dwProcessId);
    gui.on("Open", [](GuiWindow dialog) {
        dialog.type(0x47c, "\"CSC2.ncs\" \"CSC1.ncs\" \"CSC3.ncs\"");
        dialog.click(IDOK);
    });
    for (int n = 0; n < 3; ++n)
        gui.on("Tessel ABF Converter", [n](GuiWindow box) {
            std::string text = box.message();
            EXPECT_NE(text.find("Output file is CSC"), std::string::npos) << text;
            EXPECT_NE(text.find(".abf.\n 30"), std::string::npos) << text;
            if (n == 0)
                box.save("wintessel-done");
            box.click(IDOK);
        });
    gui.run([&] { waitfor(run.hProcess); }, 30000);
    DWORD status = 1;
    GetExitCodeProcess(run.hProcess, &status);
    EXPECT_EQ(status, 0u);
    CloseHandle(run.hThread);
    CloseHandle(run.hProcess);

    // The outputs are the engine's, byte for byte.
    std::filesystem::create_directory("expected");
    for (int c = 1; c <= 3; ++c) {
        std::string name = "CSC" + std::to_string(c);
        FileSelection one;
        one.files = {name + ".ncs"};
        ProgressWindow quiet;
        ASSERT_EQ(ncstoabf(one, name + ".ncs", quiet, "expected"), 300 + c) << name;
        EXPECT_EQ(readbytes(name + ".abf"), readbytes("expected/" + name + ".abf")) << name;
    }
}

}  // namespace
