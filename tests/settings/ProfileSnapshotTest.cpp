#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/PrivateProfile.h"
#include "settings/SettingsFiles.h"
#include "support/TempWorkingDirectory.h"

namespace kitebar {
namespace {

using namespace std::string_literals;
using test::TempWorkingDirectory;
using test::WriteFileBytes;

constexpr char kFile[] = "./type3.ini";

struct Lookup {
  const char* section;
  const char* key;
  const char* defaultText;
  std::size_t capacity;
};

const std::vector<Lookup> kLookups = {
    {"EndPoint", "num", "238", 5},   {"EndPoint", "num", "238", 0},
    {"EndPoint", "num", "238", 1},   {"endpoint", "NUM", "238", 8},
    {"Toutatu2", "f", "2.00", 16},   {"Toutatu3", "f", "2.00", 16},
    {"Missing", "f", "11.50", 16},   {"SpeedRate1", "num", "2", 4},
    {"SpeedRate2", "num", "2", 4},   {"Tekicyuten4", "f", "11.50", 3},
    {"Toutatu2", "missing", "x", 16}};

// Files that a hand or another program may leave: blanks, case, CR-only and
// LF-only lines, a NUL inside a value, a repeated key, no line end at the end.
const std::vector<std::string> kFiles = {
    "",
    "[EndPoint]\r\nnum=91723\r\n[Toutatu2]\r\nf=3.3\r\n",
    "  [ endpoint ]\nNUM =  5 \n[Toutatu2]\nf=1.26\nf=9.9\n[SpeedRate2]\nnum=4",
    "[EndPoint]\rnum=12\r[Tekicyuten4]\rf=16.0\r",
    "[SpeedRate1]\r\nnum=3\0 7\r\n[Toutatu3]\r\n;f=1\r\nf = 8.99\r\n"s,
};

TEST(ProfileSnapshot, ReadsWhatReadProfileStringReads) {
  const TempWorkingDirectory folder;
  for (std::size_t f = 0; f < kFiles.size(); ++f) {
    WriteFileBytes(kFile, kFiles[f]);
    const ProfileSnapshot snapshot(kFile);
    for (const Lookup& lookup : kLookups) {
      SCOPED_TRACE(testing::Message() << "file " << f << " [" << lookup.section << "] "
                                      << lookup.key << " capacity " << lookup.capacity);
      EXPECT_EQ(snapshot.Read(lookup.section, lookup.key, lookup.defaultText, lookup.capacity),
                ReadProfileString(kFile, lookup.section, lookup.key, lookup.defaultText,
                                  lookup.capacity));
    }
  }
}

TEST(ProfileSnapshot, MissingFileGivesTheDefaultsAndLaterChangesAreNotSeen) {
  const TempWorkingDirectory folder;
  const ProfileSnapshot missing(kFile);
  EXPECT_EQ(missing.Read("EndPoint", "num", "238", 5), "238");
  WriteFileBytes(kFile, "[EndPoint]\r\nnum=111\r\n");
  const ProfileSnapshot snapshot(kFile);
  WriteFileBytes(kFile, "[EndPoint]\r\nnum=999\r\n");
  EXPECT_EQ(missing.Read("EndPoint", "num", "238", 5), "238");
  EXPECT_EQ(snapshot.Read("EndPoint", "num", "238", 5), "111");
}

TEST(ReadSettingsTypeValues, GivesWhatTheSingleKeyReadersGive) {
  const TempWorkingDirectory folder;
  WriteFileBytes(kFile,
                 "[EndPoint]\r\nnum=9172\r\n[Toutatu1]\r\nf=0\r\n[Toutatu3]\r\nf=9.5\r\n"
                 "[Tekicyuten2]\r\nf=15.9\r\n[Tekicyuten4]\r\nf=abc\r\n[SpeedRate2]\r\nnum=0\r\n"
                 "[SpeedRate4]\r\nnum=-3\r\n");
  for (int set : {1, 2}) {
    SCOPED_TRACE(set);
    const SettingsTypeValues values = ReadSettingsTypeValues(set, kEndPointCapacityEngine);
    EXPECT_EQ(values.endPoint, ReadEndPoint(set, kEndPointCapacityEngine));
    for (int place = 1; place <= kPlaceCount; ++place) {
      const auto at = static_cast<std::size_t>(place - 1);
      EXPECT_EQ(values.reachPoint[at], ReadReachPoint(set, place)) << place;
      EXPECT_EQ(values.hitPoint[at], ReadHitPoint(set, place)) << place;
      EXPECT_EQ(values.speedRate[at], ReadSpeedRate(set, place)) << place;
    }
  }
}

TEST(ReadRunSettings, GivesWhatTheSingleKeyReadersGive) {
  const TempWorkingDirectory folder;
  for (const char* base :
       {"",
        "[StartIndex]\r\nindex=3\r\n[StepNum]\r\nnum=53\r\n"
        "[Diameter]\r\nf=25.5\r\n",
        "[stepnum]\nNUM = -7x\n[Diameter]\nf=abc\n[StartIndex]\nindex=12345\n"}) {
    SCOPED_TRACE(base);
    if (*base != '\0')
      WriteFileBytes(kBaseIniFile, base);
    const RunSettings settings = ReadRunSettings();
    EXPECT_EQ(settings.startIndex, ReadStartIndex());
    EXPECT_EQ(settings.stepNum, ReadStepNum());
    EXPECT_EQ(settings.diameter, ReadDiameter());
  }
}

}  // namespace
}  // namespace kitebar
