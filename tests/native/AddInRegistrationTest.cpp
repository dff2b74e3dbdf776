#include "AddInRegistration.h"

#include <gtest/gtest.h>

namespace cornice {
namespace {

TEST(AddInRegistration, CommandLinesQuoteTheLibraryPath)
{
    const std::wstring library = LibraryPath(L"C:\\Program Files\\Cornice");
    EXPECT_EQ(library, L"C:\\Program Files\\Cornice\\Corbel.dll");
    EXPECT_EQ(RegisterCommandLine(library), L"regsvr32 /s \"C:\\Program Files\\Cornice\\Corbel.dll\"");
    EXPECT_EQ(UnregisterCommandLine(library),
              L"regsvr32 /u /s \"C:\\Program Files\\Cornice\\Corbel.dll\"");
    // At a drive's root the folder ends in a separator and the name is appended as it stands.
    EXPECT_EQ(LibraryPath(L"D:\\"), L"D:\\\\Corbel.dll");
    // Characters outside any ANSI code page pass through untouched.
    EXPECT_EQ(RegisterCommandLine(LibraryPath(L"C:\\Users\\\u0410\u043D\u044F\\\u8868")),
              L"regsvr32 /s \"C:\\Users\\\u0410\u043D\u044F\\\u8868\\Corbel.dll\"");
    EXPECT_EQ(ExcelAddInKey(), L"Software\\Microsoft\\Office\\Excel\\Addins\\Corbel.Connect");
}

TEST(AddInRegistration, FailureTextsNameTheLibraryAndTheCause)
{
    const std::wstring library = L"C:\\Cornice\\Corbel.dll";
    using Outcome = RegistrationRun::Outcome;

    const std::wstring missing =
        RegistrationFailureText(true, library, {Outcome::Finished, 3, L""}, false);
    EXPECT_EQ(missing, L"The add-in could not be installed, so Excel will not show the Classic "
                       L"menus.\r\n\r\nLibrary: C:\\Cornice\\Corbel.dll\r\n\r\n"
                       L"The file does not exist. Reinstall the program to restore it.");

    const auto cause = [&](bool install, RegistrationRun run, bool present) {
        const std::wstring text = RegistrationFailureText(install, library, run, present);
        EXPECT_NE(text.find(L"Library: C:\\Cornice\\Corbel.dll"), std::wstring::npos) << text;
        return text.substr(text.rfind(L"\r\n") + 2);
    };
    EXPECT_EQ(cause(true, {Outcome::Finished, 3, L""}, true),
              L"Windows could not load the library: it may be damaged, or built for another kind "
              L"of Windows (regsvr32 exit code 3).");
    EXPECT_EQ(cause(true, {Outcome::Finished, 5, L""}, true),
              L"The library's registration failed; you may not have the rights to change the "
              L"registry (regsvr32 exit code 5).");
    EXPECT_EQ(cause(false, {Outcome::Finished, 5, L""}, true),
              L"The library's unregistration failed; you may not have the rights to change the "
              L"registry (regsvr32 exit code 5).");
    EXPECT_EQ(cause(true, {Outcome::Finished, 4, L""}, true),
              L"The file is not a library that can register itself (regsvr32 exit code 4).");
    EXPECT_EQ(cause(true, {Outcome::Finished, 259, L""}, true),
              L"regsvr32 reported a failure (regsvr32 exit code 259).");
    EXPECT_EQ(cause(true, {Outcome::NotStarted, 0, L"The system cannot find the file specified. (error 2)"}, true),
              L"regsvr32 could not be started: The system cannot find the file specified. (error 2)");
    EXPECT_EQ(cause(false, {Outcome::TimedOut, 0, L""}, true),
              L"regsvr32 did not finish within 30 seconds; it may still be running.");
    RegistrationRun machineWide{Outcome::Finished, 5, L""};
    machineWide.machineClassRemains = true;
    EXPECT_EQ(cause(false, machineWide, true),
              L"Excel no longer loads it, but it stays registered for all users of this computer "
              L"(HKEY_LOCAL_MACHINE\\Software\\Classes), which only an administrator can change: run "
              L"\"regsvr32 /u\" on the library as an administrator.");
    EXPECT_EQ(cause(true, machineWide, true), cause(true, {Outcome::Finished, 5, L""}, true));
    EXPECT_EQ(RegistrationFailureText(false, library, {Outcome::Finished, 3, L""}, false)
                  .substr(0, 44),
              L"The add-in could not be removed completely.\r");
}

TEST(AddInRegistration, OnlyAFinishedRunWithExitCodeZeroSucceeded)
{
    using Outcome = RegistrationRun::Outcome;
    EXPECT_TRUE((RegistrationRun{Outcome::Finished, 0, L""}).Succeeded());
    EXPECT_FALSE((RegistrationRun{Outcome::Finished, 3, L""}).Succeeded());
    EXPECT_FALSE((RegistrationRun{Outcome::TimedOut, 0, L""}).Succeeded());
    EXPECT_FALSE((RegistrationRun{Outcome::NotStarted, 0, L""}).Succeeded());
}

// Installed for all users: "Installation complete." only when Excel will load the add-in; the
// user's own failure comes first, and only the machine's problems send the user to the
// administrator.
TEST(AddInRegistration, MachineWideProblemsSayWhyExcelWillNotLoad)
{
    const std::wstring library = L"C:\\Program Files\\Cornice\\Corbel.dll";
    MachineWideCheck check;
    check.loadBehavior = 3;
    EXPECT_EQ(MachineWideProblemText(library, check), L"");
    check.loadBehavior = 19; // connected and at start-up, among other bits
    EXPECT_EQ(MachineWideProblemText(library, check), L"");

    check.loadBehavior = 2;
    EXPECT_EQ(MachineWideProblemText(library, check),
              L"The add-in is installed for all users of this computer, but Excel will not load it.\r\n\r\n"
              L"Library: C:\\Program Files\\Cornice\\Corbel.dll\r\n\r\n"
              L"Excel's add-in entry for all users does not load it when Excel starts (LoadBehavior 2). "
              L"Ask your administrator to repair the installation.");
    const auto reason = [&] {
        const std::wstring text = MachineWideProblemText(library, check);
        return text.substr(text.rfind(L"\r\n") + 2);
    };
    check.loadBehavior.reset();
    EXPECT_EQ(reason(), L"Excel's add-in entry for all users is missing. Ask your administrator to repair the installation.");
    check.libraryPresent = false;
    EXPECT_EQ(reason(), L"The file does not exist. Ask your administrator to repair the installation.");
    check.userRepairFailure = L"Access is denied. (error 5)";
    EXPECT_EQ(reason(), L"Excel's records that switch the add-in off for you could not be removed: Access is denied. (error 5)");
}

} // namespace
} // namespace cornice
