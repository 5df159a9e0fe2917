// The resources of text-to-md5.exe read back as Windows reads them: the
// version information through the version API, the icon group and its
// images through the resource API.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "app_session.h"

namespace driver {
namespace {

std::vector<BYTE> VersionInfo() {
  const std::wstring path = AppPath();
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  std::vector<BYTE> info(size);
  if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, info.data())) {
    info.clear();
  }
  return info;
}

template <typename T>
const T* Query(std::vector<BYTE>& info, const std::wstring& key) {
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(info.data(), key.c_str(), &value, &length) ||
      length == 0) {
    return nullptr;
  }
  return static_cast<const T*>(value);
}

TEST(VersionResource, HasTheStringTableOfLanguage0407) {
  std::vector<BYTE> info = VersionInfo();
  ASSERT_FALSE(info.empty()) << "no version information";
  struct Entry {
    const wchar_t* key;
    const wchar_t* value;
  };
  const Entry entries[] = {
      {L"FileDescription", L"Calculates the MD5 hash for a text"},
      {L"FileVersion", L"0.01"},
      {L"ProductVersion", L"0.01"},
      {L"ProductName", L"Text to MD5"},
      {L"OriginalFilename", L"text-to-md5.exe"},
  };
  for (const Entry& entry : entries) {
    const auto* value = Query<wchar_t>(
        info, std::wstring(L"\\StringFileInfo\\040704B0\\") + entry.key);
    ASSERT_NE(value, nullptr) << "no " << entry.key;
    EXPECT_STREQ(value, entry.value);
  }
  for (const wchar_t* key : {L"CompanyName", L"LegalCopyright"}) {
    const auto* value = Query<wchar_t>(
        info, std::wstring(L"\\StringFileInfo\\040704B0\\") + key);
    EXPECT_TRUE(value && *value) << "no " << key;
  }

  const auto* translation = Query<WORD>(info, L"\\VarFileInfo\\Translation");
  ASSERT_NE(translation, nullptr);
  EXPECT_EQ(translation[0], 0x0407);
  EXPECT_EQ(translation[1], 0x04B0);
}

TEST(VersionResource, FixedPartSaysVersion0100OfAWindowsApplication) {
  std::vector<BYTE> info = VersionInfo();
  ASSERT_FALSE(info.empty()) << "no version information";
  const auto* fixed = Query<VS_FIXEDFILEINFO>(info, L"\\");
  ASSERT_NE(fixed, nullptr);
  EXPECT_EQ(fixed->dwSignature, VS_FFI_SIGNATURE);
  EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(1, 0));  // 0.1
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);              // .0.0
  EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(1, 0));
  EXPECT_EQ(fixed->dwProductVersionLS, 0u);
  EXPECT_EQ(fixed->dwFileFlagsMask, static_cast<DWORD>(VS_FFI_FILEFLAGSMASK));
  EXPECT_EQ(fixed->dwFileFlags, 0u);
  EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

#pragma pack(push, 2)
struct GroupIconEntry {  // GRPICONDIRENTRY
  BYTE width, height, colour_count, reserved;
  WORD planes, bit_count;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)
static_assert(sizeof(GroupIconEntry) == 14);

class ResourceFile {
 public:
  ResourceFile()
      : module_(LoadLibraryExW(
            AppPath().c_str(), nullptr,
            LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
  ResourceFile(const ResourceFile&) = delete;
  ResourceFile& operator=(const ResourceFile&) = delete;
  ~ResourceFile() {
    if (module_) FreeLibrary(module_);
  }

  // The bytes of resource id of type, empty if there is none.
  std::vector<BYTE> Bytes(int id, const wchar_t* type) const {
    HRSRC found = FindResourceW(module_, MAKEINTRESOURCEW(id), type);
    HGLOBAL loaded = found ? LoadResource(module_, found) : nullptr;
    const auto* data =
        loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    if (!data) return {};
    return std::vector<BYTE>(data, data + SizeofResource(module_, found));
  }

  bool loaded() const { return module_ != nullptr; }

 private:
  HMODULE module_;
};

TEST(IconResource, GroupOneHoldsExactlyTheThreeImagesWithTheirIds) {
  const ResourceFile file;
  ASSERT_TRUE(file.loaded());
  const std::vector<BYTE> group = file.Bytes(1, RT_GROUP_ICON);
  ASSERT_GE(group.size(), 6u) << "no icon group 1";
  WORD group_header[3];  // reserved, type (1: icons), count
  std::memcpy(group_header, group.data(), sizeof group_header);
  EXPECT_EQ(group_header[1], 1);
  ASSERT_EQ(group_header[2], 3);
  ASSERT_EQ(group.size(), 6 + 3 * sizeof(GroupIconEntry));

  struct Image {
    WORD id;
    BYTE size;
    WORD bit_count;
  };
  const Image expected[] = {{30001, 32, 1}, {30002, 32, 4}, {30003, 16, 4}};
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    SCOPED_TRACE("image " + std::to_string(expected[i].id));
    GroupIconEntry entry{};
    std::memcpy(&entry, group.data() + 6 + i * sizeof entry, sizeof entry);
    EXPECT_EQ(entry.id, expected[i].id);
    EXPECT_EQ(entry.width, expected[i].size);
    EXPECT_EQ(entry.height, expected[i].size);
    EXPECT_EQ(entry.bit_count, expected[i].bit_count);
    EXPECT_EQ(entry.colour_count, 1 << expected[i].bit_count);

    // The image itself: a DIB of twice the height (colour and mask).
    const std::vector<BYTE> image = file.Bytes(entry.id, RT_ICON);
    ASSERT_EQ(image.size(), entry.bytes);
    ASSERT_GE(image.size(), sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER header{};
    std::memcpy(&header, image.data(), sizeof header);
    EXPECT_EQ(header.biWidth, expected[i].size);
    EXPECT_EQ(header.biHeight, 2 * expected[i].size);
    EXPECT_EQ(header.biBitCount, expected[i].bit_count);
  }
}

// Per-monitor awareness v2 first, with what older releases understand after
// it.
TEST(ManifestResource, AsksForCommonControls6AndPerMonitorDpiAwarenessV2) {
  const ResourceFile file;
  ASSERT_TRUE(file.loaded());
  const std::vector<BYTE> bytes = file.Bytes(1, RT_MANIFEST);
  const std::string manifest(bytes.begin(), bytes.end());
  EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"),
            std::string::npos);
  EXPECT_NE(manifest.find(">true/pm</dpiAware>"), std::string::npos);
  EXPECT_NE(manifest.find(">PerMonitorV2, PerMonitor</dpiAwareness>"),
            std::string::npos);
}

}  // namespace
}  // namespace driver
