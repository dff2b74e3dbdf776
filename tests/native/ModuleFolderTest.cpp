#include "ModuleFolder.h"

#include <gtest/gtest.h>

namespace cornice {
namespace {

TEST(ModuleFolder, NoTrailingSeparatorExceptAtADrivesRoot)
{
    EXPECT_EQ(FolderOfModulePath(L"C:\\Program Files\\Cornice\\Trellis.exe"),
              L"C:\\Program Files\\Cornice");
    EXPECT_EQ(FolderOfModulePath(L"C:\\Trellis.exe"), L"C:\\");
    EXPECT_EQ(FolderOfModulePath(L"\\\\?\\C:\\Trellis.exe"), L"\\\\?\\C:\\");
    EXPECT_EQ(FolderOfModulePath(L"\\\\server\\share\\Trellis.exe"), L"\\\\server\\share");
    EXPECT_EQ(FolderOfModulePath(L"C:\\Users\\\u0410\u043D\u044F\\Corbel.dll"),
              L"C:\\Users\\\u0410\u043D\u044F");
    EXPECT_EQ(FolderOfModulePath(L"Trellis.exe"), L"");
    EXPECT_EQ(FolderOfModulePath(L""), L"");
}

} // namespace
} // namespace cornice
