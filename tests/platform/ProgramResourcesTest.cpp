// The two programs as Explorer reads them: version information, icon sizes
// and application manifest, read back from the built executables through the
// Windows API.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

namespace kitebar {
namespace {

// The name under which the toolkit finds the program's icon.
constexpr wchar_t kIconName[] = L"IDI_ICON1";

struct Program {
  const char* name;
  const wchar_t* path;
  const wchar_t* description;
};

std::wstring VersionString(const std::vector<BYTE>& info, const wchar_t* name) {
  const std::wstring query = std::wstring(L"\\StringFileInfo\\041104B0\\") + name;
  void* value = nullptr;
  UINT length = 0;
  if (::VerQueryValueW(info.data(), query.c_str(), &value, &length) == 0 || length == 0)
    return {};
  return static_cast<const wchar_t*>(value);
}

// The module's resources only, without running any of its code.
using Module = std::unique_ptr<std::remove_pointer_t<HMODULE>, decltype(&::FreeLibrary)>;

Module LoadResources(const wchar_t* path) {
  return Module(
      ::LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE),
      &::FreeLibrary);
}

std::string ResourceBytes(HMODULE module, LPCWSTR name, LPCWSTR type) {
  HRSRC found = ::FindResourceW(module, name, type);
  if (found == nullptr)
    return {};
  const void* data = ::LockResource(::LoadResource(module, found));
  return std::string(static_cast<const char*>(data), ::SizeofResource(module, found));
}

#pragma pack(push, 2)
struct IconGroupEntry {
  BYTE width;  // 0 stands for 256
  BYTE height;
  BYTE colours;
  BYTE reserved;
  WORD planes;
  WORD bitCount;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

std::set<int> IconSizes(const std::string& group) {
  std::set<int> sizes;
  const auto count = reinterpret_cast<const WORD*>(group.data())[2];
  for (WORD i = 0; i < count; ++i) {
    IconGroupEntry entry{};
    std::memcpy(&entry, group.data() + 6 + i * sizeof entry, sizeof entry);
    sizes.insert(entry.width == 0 ? 256 : entry.width);
  }
  return sizes;
}

class ProgramResources : public testing::TestWithParam<Program> {};

TEST_P(ProgramResources, CarryVersionIconAndManifest) {
  const Program& program = GetParam();
  DWORD ignored = 0;
  std::vector<BYTE> info(::GetFileVersionInfoSizeW(program.path, &ignored));
  ASSERT_FALSE(info.empty()) << "no version information";
  ASSERT_NE(::GetFileVersionInfoW(program.path, 0, static_cast<DWORD>(info.size()), info.data()),
            0);
  EXPECT_EQ(VersionString(info, L"FileDescription"), program.description);
  EXPECT_EQ(VersionString(info, L"ProductName"), L"Kitebar ナンバーズシミュレータ");
  EXPECT_EQ(VersionString(info, L"ProductVersion"), L"1.0");
  EXPECT_NE(VersionString(info, L"LegalCopyright").find(L"Kitebar"), std::wstring::npos);
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_NE(::VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length), 0);
  EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 1));

  const Module module = LoadResources(program.path);
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(IconSizes(ResourceBytes(module.get(), kIconName, RT_GROUP_ICON)),
            (std::set<int>{16, 24, 32, 48, 256}));
  const std::string manifest = ResourceBytes(module.get(), MAKEINTRESOURCEW(1), RT_MANIFEST);
  for (const char* setting :
       {"PerMonitorV2", "<longPathAware", "asInvoker", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
        "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"}) {
    EXPECT_NE(manifest.find(setting), std::string::npos) << setting;
  }
  // The program relies on the wide API: no code page is forced on it.
  EXPECT_EQ(manifest.find("activeCodePage"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Programs, ProgramResources,
    testing::Values(Program{"Desktop", KITEBAR_APP_EXE, L"Kitebar ナンバーズシミュレータ"},
                    Program{"CommandLine", KITEBAR_CLI_EXE,
                            L"Kitebar ナンバーズシミュレータ（コマンドライン版）"}),
    [](const testing::TestParamInfo<Program>& info) { return info.param.name; });

// The two look different in a folder.
TEST(ProgramResourcesIcons, DesktopAndCommandLineDiffer) {
  const Module desktop = LoadResources(KITEBAR_APP_EXE);
  const Module commandLine = LoadResources(KITEBAR_CLI_EXE);
  ASSERT_NE(desktop, nullptr);
  ASSERT_NE(commandLine, nullptr);
  const std::string largest = ResourceBytes(desktop.get(), MAKEINTRESOURCEW(1), RT_ICON);
  EXPECT_FALSE(largest.empty());
  EXPECT_NE(largest, ResourceBytes(commandLine.get(), MAKEINTRESOURCEW(1), RT_ICON));
}

}  // namespace
}  // namespace kitebar
