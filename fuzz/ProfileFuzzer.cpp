// Feeds an arbitrary settings file to the profile reader and writer: a read
// fills at most the buffer it is given, a value written reads back as
// written, and a write leaves every other key as it read before.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "settings/PrivateProfile.h"

namespace {

using kitebar::fuzz::Require;

constexpr char kMissing[] = "\x01missing";
constexpr std::size_t kLargeCapacity = 1 << 16;

// Section and key names as the program writes them: letters, digits, '_'.
std::string NameFrom(std::string text) {
  std::erase_if(text, [](char c) {
    return !((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
             c == '_');
  });
  return text;
}

// A value as the writers produce it: printable ASCII without blanks at
// either end.
std::string ValueFrom(std::string text) {
  std::erase_if(text, [](char c) { return c < ' ' || c > '~'; });
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos)
    return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

void CheckCappedRead(const std::filesystem::path& file, std::string_view section,
                     std::string_view key, std::size_t capacity) {
  std::vector<char> buffer(capacity + 1, '\x7f');
  const std::size_t copied = kitebar::GetPrivateProfileString(
      section, key, "default", std::span<char>(buffer.data(), capacity), file);
  if (capacity == 0) {
    Require(copied == 0 && buffer[0] == '\x7f');
    return;
  }
  Require(copied < capacity);
  Require(buffer[copied] == '\0');
  Require(std::memchr(buffer.data(), '\0', copied) == nullptr);
  Require(buffer[capacity] == '\x7f');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::filesystem::path file = kitebar::fuzz::ScratchFile("fuzz.ini");
  FuzzedDataProvider input(data, size);
  const std::string section = NameFrom(input.ConsumeRandomLengthString(24));
  const std::string key = NameFrom(input.ConsumeRandomLengthString(24));
  const std::string value = ValueFrom(input.ConsumeRandomLengthString(300));
  const std::string otherSection = NameFrom(input.ConsumeRandomLengthString(24));
  const std::string otherKey = NameFrom(input.ConsumeRandomLengthString(24));
  const auto capacity = input.ConsumeIntegralInRange<std::size_t>(0, 300);
  kitebar::fuzz::WriteScratchFile(file, input.ConsumeRemainingBytesAsString());

  CheckCappedRead(file, section, key, capacity);
  CheckCappedRead(file, otherSection, otherKey, capacity);
  if (section.empty() || key.empty())
    return 0;
  const std::string otherBefore =
      kitebar::ReadProfileString(file, otherSection, otherKey, kMissing, kLargeCapacity);
  // A file in UTF-16 (or that looks it, with its zero bytes) is refused by
  // every writer.
  if (!kitebar::CheckProfileEncoding(file).ok()) {
    Require(!kitebar::WritePrivateProfileString(section, key, value, file).ok());
    return 0;
  }

  Require(kitebar::WritePrivateProfileString(section, key, value, file).ok());
  Require(kitebar::ReadProfileString(file, section, key, kMissing, kLargeCapacity) == value);
  if (!SameName(section, otherSection) || !SameName(key, otherKey)) {
    Require(kitebar::ReadProfileString(file, otherSection, otherKey, kMissing, kLargeCapacity) ==
            otherBefore);
  }
  // A second write of the same key replaces the value in its line.
  Require(kitebar::WritePrivateProfileString(section, key, "2.00", file).ok());
  Require(kitebar::ReadProfileString(file, section, key, kMissing, kLargeCapacity) == "2.00");
  return 0;
}
