#include "config/profile.h"

#include <atomic>
#include <climits>
#include <functional>
#include <thread>
#include <vector>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "tests/support/case_name.h"
#include "tests/support/temp_directory.h"

namespace lp {
namespace {

using testing::ReadFileBytes;
using testing::TempDirectory;
using testing::WriteFileBytes;

using testing::CaseName;

// Shift_JIS names used as keys: box paths with Japanese names.
const std::string kA = "\x83\x41";    // ア (trail byte 0x41 is "A")
const std::string kDi = "\x83\x61";   // ヂ (trail byte 0x61 is "a")
const std::string kZo = "\x83\x5D";   // ゾ (trail byte 0x5D is "]")
const std::string kHyo = "\x95\x5C";  // 表 (trail byte 0x5C is "\")

struct ReadCase {
  const char* name;
  std::string file;
  std::string section;
  std::string key;
  std::string expected;  // what GetString gives with the default "DEF"
};

class ProfileRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ProfileRead, GetString) {
  const ReadCase& c = GetParam();
  TempDirectory dir;
  WriteFileBytes(dir.File("lpost.conf"), c.file);
  Profile profile(dir.File("lpost.conf"));
  EXPECT_EQ(profile.GetString(c.section, c.key, "DEF"), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileRead,
    ::testing::Values(
        ReadCase{"Plain", "[System]\r\nDefaultFile=box.lp\r\n", "System", "DefaultFile", "box.lp"},
        ReadCase{"KeyCaseDiffers", "[System]\r\nDelno=5\r\n", "System", "DelNo", "5"},
        ReadCase{"SectionCaseDiffers", "[SYSTEM]\r\nDelNo=5\r\n", "system", "DELNO", "5"},
        ReadCase{"BlanksTrimmed", "  [ System ]  \r\n\t Key \t=  a value \t\r\n", "System", "Key", "a value"},
        ReadCase{"NamesGivenWithBlanks", "[System]\r\nKey=1\r\n", " System ", " Key ", "1"},
        ReadCase{"DoubleQuotesRemoved", "[S]\r\nKey=\"  a b  \"\r\n", "S", "Key", "  a b  "},
        ReadCase{"SingleQuotesRemoved", "[S]\r\nKey= 'x' \r\n", "S", "Key", "x"},
        ReadCase{"MismatchedQuotesKept", "[S]\r\nKey=\"x'\r\n", "S", "Key", "\"x'"},
        ReadCase{"LoneQuoteKept", "[S]\r\nKey=\"\r\n", "S", "Key", "\""},
        ReadCase{"OnlyOnePairRemoved", "[S]\r\nKey=\"\"x\"\"\r\n", "S", "Key", "\"x\""},
        ReadCase{"EmptyValueIsNotTheDefault", "[S]\r\nKey=\r\n", "S", "Key", ""},
        ReadCase{"MissingKey", "[S]\r\nOther=1\r\n", "S", "Key", "DEF"},
        ReadCase{"MissingSection", "[T]\r\nKey=1\r\n", "S", "Key", "DEF"},
        ReadCase{"KeyBeforeAnySection", "Key=1\r\n[S]\r\n", "S", "Key", "DEF"},
        ReadCase{"KeyOfTheNextSection", "[S]\r\n[T]\r\nKey=1\r\n", "S", "Key", "DEF"},
        ReadCase{"CommentIsNoKey", "[S]\r\n;Key=1\r\n", "S", "Key", "DEF"},
        ReadCase{"FirstDuplicateWins", "[S]\r\nKey=1\r\nKEY=2\r\n", "S", "Key", "1"},
        ReadCase{"SecondBlockOfTheSection", "[S]\r\nA=1\r\n[T]\r\n[s]\r\nKey=3\r\n", "S", "Key", "3"},
        ReadCase{"EqualsInTheValue", "[S]\r\nKey=a=b\r\n", "S", "Key", "a=b"},
        ReadCase{"EmptyKeyName", "[Settings]\r\n=0,1,2\r\n", "Settings", "", "0,1,2"},
        ReadCase{"LfLineEndings", "[S]\nKey=lf\n", "S", "Key", "lf"},
        ReadCase{"LoneCrLineEndings", "[S]\rKey=cr\r", "S", "Key", "cr"},
        ReadCase{"NoFinalLineEnding", "[S]\r\nKey=last", "S", "Key", "last"},
        ReadCase{"BracketInValueIsNoHeader", "[T]\r\nK=[S]\r\nKey=0\r\n[S]\r\nKey=1\r\n", "S", "Key", "1"},
        ReadCase{"IndentedHeaderAfterOtherSection", "[T]\r\nx=1\r\n \t[S]\r\nKey=2\r\n", "S", "Key", "2"},
        ReadCase{"TrailByteBracketStartsNoHeader", "[T]\r\n\x83[S]\r\nKey=3\r\n", "S", "Key", "DEF"},
        ReadCase{"UnclosedHeaderIsNoHeader", "[S]\r\n[T\r\nKey=4\r\n", "S", "Key", "4"},
        ReadCase{"TextAfterSectionHeader", "[S] ; note\r\nKey=1\r\n", "S", "Key", "1"},
        ReadCase{"JapaneseKey", "[Read]\r\n" + kA + ".lp=1\r\n", "Read", kA + ".LP", "1"},
        ReadCase{"TrailByteNotFolded", "[Read]\r\n" + kA + ".lp=1\r\n", "Read", kDi + ".lp", "DEF"},
        ReadCase{"TrailByteNotFoldedOtherWay", "[Read]\r\n" + kDi + ".lp=1\r\n", "Read", kA + ".lp", "DEF"},
        ReadCase{"TrailByteBracketInSection", "[" + kZo + "]\r\nKey=1\r\n", kZo, "Key", "1"},
        ReadCase{"TrailByteBackslashInKey", "[Read]\r\n" + kHyo + "/b.lp=1\r\n", "Read", kHyo + "/B.lp", "1"},
        ReadCase{"JapaneseValue", "[Mail]\r\nLabel1=" + kA + kZo + "\r\n", "Mail", "Label1", kA + kZo}),
    CaseName<ReadCase>);

struct IntCase {
  const char* name;
  std::string value;  // "<missing>" leaves the key out
  int expected;       // with the default 77
};

class ProfileInt : public ::testing::TestWithParam<IntCase> {};

TEST_P(ProfileInt, GetInt) {
  const IntCase& c = GetParam();
  TempDirectory dir;
  std::string file = "[S]\r\n";
  if (c.value != "<missing>") file += "N=" + c.value + "\r\n";
  WriteFileBytes(dir.File("lpost.conf"), file);
  EXPECT_EQ(Profile(dir.File("lpost.conf")).GetInt("S", "N", 77), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ProfileInt,
                         ::testing::Values(IntCase{"Digits", "12", 12},
                                           IntCase{"StopsAtNonDigit", "12abc", 12},
                                           IntCase{"Negative", "-18", -18},
                                           IntCase{"Plus", "+5", 5},
                                           IntCase{"Zero", "0", 0},
                                           IntCase{"Blanks", "  7  ", 7},
                                           IntCase{"Quoted", "\"42\"", 42},
                                           IntCase{"HexReadsItsZero", "0x10", 0},
                                           IntCase{"Letters", "abc", 77},
                                           IntCase{"Empty", "", 77},
                                           IntCase{"SignOnly", "-", 77},
                                           IntCase{"BlankAfterSign", "- 5", 77},
                                           IntCase{"Missing", "<missing>", 77},
                                           IntCase{"TooLarge", "99999999999999999999", INT_MAX},
                                           IntCase{"TooSmall", "-99999999999999999999", INT_MIN},
                                           IntCase{"Smallest", "-2147483648", INT_MIN}),
                         CaseName<IntCase>);

struct CutCase {
  const char* name;
  std::string value;
  std::string expected;
};

class ProfileCut : public ::testing::TestWithParam<CutCase> {};

TEST_P(ProfileCut, StringReadIsCutTo259Bytes) {
  const CutCase& c = GetParam();
  TempDirectory dir;
  WriteFileBytes(dir.File("lpost.conf"), "[S]\r\nK=" + c.value + "\r\n");
  Profile profile(dir.File("lpost.conf"));
  EXPECT_EQ(profile.GetString("S", "K"), c.expected);
  // A default is cut the same way.
  EXPECT_EQ(profile.GetString("S", "Missing", c.value), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileCut,
    ::testing::Values(CutCase{"Exactly259", std::string(259, 'x'), std::string(259, 'x')},
                      CutCase{"Ascii300", std::string(300, 'x'), std::string(259, 'x')},
                      CutCase{"DoubleByteEndsAt259", std::string(257, 'x') + kA + "yy",
                              std::string(257, 'x') + kA},
                      CutCase{"NoLoneLeadByte", std::string(258, 'x') + kA,
                              std::string(258, 'x')},
                      CutCase{"AllDoubleByte", [] {
                                std::string s;
                                for (int i = 0; i < 200; ++i) s += kZo;
                                return s;
                              }(),
                              [] {
                                std::string s;
                                for (int i = 0; i < 129; ++i) s += kZo;
                                return s;
                              }()}),
    CaseName<CutCase>);

struct WriteCase {
  const char* name;
  std::string before;  // "<missing>": no file
  std::function<bool(Profile&)> edit;
  std::string after;  // "<missing>": still no file
};

class ProfileWrite : public ::testing::TestWithParam<WriteCase> {};

TEST_P(ProfileWrite, KeepsEveryOtherByte) {
  const WriteCase& c = GetParam();
  TempDirectory dir;
  const std::string path = dir.File("lpost.conf");
  if (c.before != "<missing>") WriteFileBytes(path, c.before);
  Profile profile(path);
  EXPECT_TRUE(c.edit(profile)) << profile.LastError();
  if (c.after == "<missing>") {
    EXPECT_FALSE(PathExists(path));
  } else {
    EXPECT_EQ(ReadFileBytes(path), c.after);
  }
}

const std::string kMixedFile =
    "; Lanternpost settings\r\n"
    "garbage without equals\r\n"
    "[System]\r\n"
    "  DelNo = 100  \r\n"
    "; keep me\r\n"
    "Ime=0\r\n"
    "\r\n"
    "[View]\r\n"
    "Toolbar=1\r\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileWrite,
    ::testing::Values(
        WriteCase{"FirstWriteCreatesCrLfFile", "<missing>",
                  [](Profile& p) { return p.WriteInt("System", "IniTransfer", 1); },
                  "[System]\r\nIniTransfer=1\r\n"},
        WriteCase{"ReplaceInPlace", kMixedFile,
                  [](Profile& p) { return p.WriteInt("System", "Ime", 1); },
                  "; Lanternpost settings\r\ngarbage without equals\r\n[System]\r\n  DelNo = 100  \r\n"
                  "; keep me\r\nIme=1\r\n\r\n[View]\r\nToolbar=1\r\n"},
        WriteCase{"ReplaceKeepsSpellingAndIndent", kMixedFile,
                  [](Profile& p) { return p.WriteInt("system", "Delno", 7); },
                  "; Lanternpost settings\r\ngarbage without equals\r\n[System]\r\n  DelNo =7\r\n"
                  "; keep me\r\nIme=0\r\n\r\n[View]\r\nToolbar=1\r\n"},
        WriteCase{"EqualValueLeavesTheLine", kMixedFile,
                  [](Profile& p) { return p.WriteInt("System", "DelNo", 100); }, kMixedFile},
        WriteCase{"NewKeyBeforeTrailingBlankLines", kMixedFile,
                  [](Profile& p) { return p.WriteString("System", "Trash", "1"); },
                  "; Lanternpost settings\r\ngarbage without equals\r\n[System]\r\n  DelNo = 100  \r\n"
                  "; keep me\r\nIme=0\r\nTrash=1\r\n\r\n[View]\r\nToolbar=1\r\n"},
        WriteCase{"NewKeyInLastSection", kMixedFile,
                  [](Profile& p) { return p.WriteInt("View", "Func", 0); },
                  kMixedFile + "Func=0\r\n"},
        WriteCase{"NewSectionAtTheEnd", kMixedFile,
                  [](Profile& p) { return p.WriteInt("Time", "Rec", 12345); },
                  kMixedFile + "[Time]\r\nRec=12345\r\n"},
        WriteCase{"LfFileStaysLf", "[A]\nx=1\n",
                  [](Profile& p) { return p.WriteString("A", "y", "2") && p.WriteString("B", "k", "v"); },
                  "[A]\nx=1\ny=2\n[B]\nk=v\n"},
        WriteCase{"UnterminatedLastLine", "[A]\r\nx=1",
                  [](Profile& p) { return p.WriteString("A", "y", "2"); }, "[A]\r\nx=1\r\ny=2\r\n"},
        WriteCase{"UnterminatedLastLineOtherSection", "[A]\r\nx=1",
                  [](Profile& p) { return p.WriteString("B", "y", "2"); }, "[A]\r\nx=1\r\n[B]\r\ny=2\r\n"},
        WriteCase{"SectionWithOnlyBlankLines", "[A]\r\n\r\n\r\n",
                  [](Profile& p) { return p.WriteString("A", "k", "1"); }, "[A]\r\nk=1\r\n\r\n\r\n"},
        WriteCase{"FirstDuplicateIsWritten", "[S]\r\nK=1\r\nK=2\r\n",
                  [](Profile& p) { return p.WriteString("S", "k", "9"); }, "[S]\r\nK=9\r\nK=2\r\n"},
        WriteCase{"NewKeyGoesToTheFirstBlock", "[S]\r\nA=1\r\n[T]\r\n[S]\r\nB=2\r\n",
                  [](Profile& p) { return p.WriteString("S", "C", "3"); },
                  "[S]\r\nA=1\r\nC=3\r\n[T]\r\n[S]\r\nB=2\r\n"},
        WriteCase{"JapaneseKeysStayApart", "[Read]\r\n" + kA + ".lp=1\r\n",
                  [](Profile& p) { return p.WriteInt("Read", kDi + ".lp", 0); },
                  "[Read]\r\n" + kA + ".lp=1\r\n" + kDi + ".lp=0\r\n"},
        WriteCase{"BlanksAroundValueAreQuoted", "<missing>",
                  [](Profile& p) {
                    return p.WriteString("System", "ReplyMark", "> ") &&
                           p.GetString("System", "ReplyMark") == "> ";
                  },
                  "[System]\r\nReplyMark=\"> \"\r\n"},
        WriteCase{"QuotedLookingValueIsQuoted", "<missing>",
                  [](Profile& p) {
                    return p.WriteString("S", "K", "'x'") && p.GetString("S", "K") == "'x'";
                  },
                  "[S]\r\nK=\"'x'\"\r\n"},
        WriteCase{"EmptyKeyName", "[Settings]\r\nShowCmd=1\r\n",
                  [](Profile& p) { return p.WriteString("Settings", "", "0,1,2"); },
                  "[Settings]\r\nShowCmd=1\r\n=0,1,2\r\n"},
        WriteCase{"BatchIsOneWrite", "[A]\r\n",
                  [](Profile& p) {
                    const ProfileEntry entries[] = {{"A", "x", "1"}, {"B", "y", "2"}, {"a", "z", "3"}};
                    return p.WriteStrings(entries);
                  },
                  "[A]\r\nx=1\r\nz=3\r\n[B]\r\ny=2\r\n"},
        WriteCase{"RemoveKeyTakesEveryDuplicate", "[S]\r\nK=1\r\n;c\r\nk=2\r\n[T]\r\nK=3\r\n",
                  [](Profile& p) { return p.RemoveKey("s", "K") && p.GetString("S", "K", "gone") == "gone"; },
                  "[S]\r\n;c\r\n[T]\r\nK=3\r\n"},
        WriteCase{"RemoveSectionWithItsLines", "[S]\r\nK=1\r\n;c\r\n\r\n[T]\r\nK=3\r\n[s]\r\nX=1",
                  [](Profile& p) { return p.RemoveSection("S"); }, "[T]\r\nK=3\r\n"},
        WriteCase{"RemoveFromMissingFileCreatesNothing", "<missing>",
                  [](Profile& p) { return p.RemoveKey("S", "K") && p.RemoveSection("S"); }, "<missing>"},
        WriteCase{"ReadsCreateNothing", "<missing>",
                  [](Profile& p) { return p.GetInt("S", "K", 3) == 3 && p.GetString("S", "K", "d") == "d"; },
                  "<missing>"}),
    CaseName<WriteCase>);

struct RefusedCase {
  const char* name;
  std::string section;
  std::string key;
  std::string value;
};

class ProfileRefused : public ::testing::TestWithParam<RefusedCase> {};

// Names and values that would break the line structure are refused, and
// the file stays as it was.
TEST_P(ProfileRefused, LeavesTheFileAlone) {
  const RefusedCase& c = GetParam();
  TempDirectory dir;
  WriteFileBytes(dir.File("lpost.conf"), kMixedFile);
  Profile profile(dir.File("lpost.conf"));
  EXPECT_FALSE(profile.WriteString(c.section, c.key, c.value));
  EXPECT_FALSE(profile.LastError().empty());
  const ProfileEntry entries[] = {{"System", "Fine", "1"}, {c.section, c.key, c.value}};
  EXPECT_FALSE(profile.WriteStrings(entries));
  EXPECT_EQ(ReadFileBytes(dir.File("lpost.conf")), kMixedFile);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileRefused,
    ::testing::Values(RefusedCase{"LineBreakInValue", "System", "mailto", "x\r\n[Set]\r\nPass=1"},
                      RefusedCase{"LfInValue", "System", "mailto", "x\ny"},
                      RefusedCase{"NulInValue", "System", "K", std::string("a\0b", 3)},
                      RefusedCase{"BracketInSection", "Sys]tem", "K", "1"},
                      RefusedCase{"LineBreakInSection", "A\nB", "K", "1"},
                      RefusedCase{"EqualsInKey", "System", "a=b", "1"},
                      RefusedCase{"KeyLooksLikeSection", "System", "[ML].lp", "1"},
                      RefusedCase{"KeyLooksLikeComment", "System", ";x", "1"}),
    CaseName<RefusedCase>);

TEST(Profile, SectionNameWithTrailByteBracketIsAccepted) {
  TempDirectory dir;
  Profile profile(dir.File("lpost.conf"));
  ASSERT_TRUE(profile.WriteString(kZo, "K", "v")) << profile.LastError();
  EXPECT_EQ(profile.GetString(kZo, "K"), "v");
}

TEST(Profile, UnreadableDirectoryEntryIsNeverReplaced) {
  TempDirectory dir;
  const std::string path = dir.File("lpost.conf");
  ASSERT_TRUE(MakeDirectory(path));
  Profile profile(path);
  EXPECT_EQ(profile.GetInt("S", "K", 5), 5);
  EXPECT_FALSE(profile.WriteInt("S", "K", 1));
  EXPECT_FALSE(profile.LastError().empty());
  EXPECT_FALSE(profile.RemoveSection("S"));
  EXPECT_TRUE(IsDirectory(path));
}

TEST(Profile, FileWithoutReadPermissionIsNeverReplaced) {
  TempDirectory dir;
  const std::string path = dir.File("lpost.conf");
  WriteFileBytes(path, "[S]\r\nK=1\r\n");
  ASSERT_EQ(::chmod(path.c_str(), 0200), 0);
  File probe;
  if (probe.Open(path, File::Mode::Read)) GTEST_SKIP() << "permissions do not apply (running as root)";
  Profile profile(path);
  EXPECT_EQ(profile.GetInt("S", "K", 5), 5);
  EXPECT_FALSE(profile.WriteInt("S", "Other", 2));
  ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
  EXPECT_EQ(ReadFileBytes(path), "[S]\r\nK=1\r\n");
}

// A writer killed at any moment leaves the old file or the new one, and a
// reader never sees anything in between.
TEST(Profile, KilledWriterLeavesOldOrNewFile) {
  TempDirectory dir;
  const std::string path = dir.File("lpost.conf");
  std::string head = "; padding makes each write take a while\r\n[Pad]\r\n";
  for (int i = 0; i < 4000; ++i) head += "line" + std::to_string(i) + "=some padding text to copy\r\n";
  head += "[S]\r\n";
  auto version = [&head](char digit) { return head + "K=" + digit + "\r\n"; };
  WriteFileBytes(path, version('0'));

  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    Profile writer(path);
    for (int i = 0;; ++i) {
      if (!writer.WriteInt("S", "K", 1 + i % 2)) ::_exit(1);
    }
  }

  int changes = 0;
  bool child_ended = false;
  std::string last = version('0');
  while (changes < 20 && !child_ended) {
    std::string now = ReadFileBytes(path);
    ASSERT_TRUE(now == version('0') || now == version('1') || now == version('2'))
        << "torn file of " << now.size() << " bytes";
    if (now != last) ++changes;
    last = now;
    int status = 0;
    child_ended = ::waitpid(child, &status, WNOHANG) == child;
  }
  ASSERT_FALSE(child_ended) << "the writer failed";
  ASSERT_EQ(::kill(child, SIGKILL), 0);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFSIGNALED(status));

  std::string final_content = ReadFileBytes(path);
  EXPECT_TRUE(final_content == version('1') || final_content == version('2'));
}

// Keys are answered from memory, but a file changed behind the profile's back
// is read again: replaced by another writer, edited in place, removed, created.
struct ChangeCase {
  const char* name;
  std::function<void(const std::string& path)> change;
  int expected;
};

class ProfileChangedOnDisk : public ::testing::TestWithParam<ChangeCase> {};

TEST_P(ProfileChangedOnDisk, IsReadAgain) {
  TempDirectory dir;
  const std::string path = dir.File("lpost.conf");
  WriteFileBytes(path, "[S]\r\nK=1\r\n");
  Profile profile(path);
  ASSERT_EQ(profile.GetInt("S", "K", 0), 1);
  GetParam().change(path);
  EXPECT_EQ(profile.GetInt("S", "K", 0), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileChangedOnDisk,
    ::testing::Values(
        ChangeCase{"ReplacedByAnotherWriter",
                   [](const std::string& path) { ASSERT_TRUE(Profile(path).WriteInt("S", "K", 2)); }, 2},
        ChangeCase{"EditedInPlaceWithTheSameSize",
                   [](const std::string& path) {
                     WriteFileBytes(path, "[S]\r\nK=3\r\n");
                     // The clock of file times is coarse: make the edit a second later.
                     struct timespec times[2] = {{0, UTIME_OMIT}, {::time(nullptr) + 1, 0}};
                     ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
                   },
                   3},
        ChangeCase{"Removed", [](const std::string& path) { ASSERT_TRUE(RemoveFile(path)); }, 0}),
    CaseName<ChangeCase>);

TEST(Profile, FileCreatedAfterAMissedReadIsSeen) {
  TempDirectory dir;
  const std::string path = dir.File("lpost.conf");
  Profile profile(path);
  EXPECT_EQ(profile.GetInt("S", "K", 7), 7);
  WriteFileBytes(path, "[S]\r\nK=4\r\n");
  EXPECT_EQ(profile.GetInt("S", "K", 7), 4);
}

TEST(Profile, OwnWritesAreSeenByEveryCopy) {
  TempDirectory dir;
  Profile profile(dir.File("lpost.conf"));
  Profile copy = profile;
  ASSERT_TRUE(profile.WriteString("S", "K", "a"));
  EXPECT_EQ(copy.GetString("S", "K"), "a");
  ASSERT_TRUE(copy.RemoveKey("S", "K"));
  EXPECT_EQ(profile.GetString("S", "K", "gone"), "gone");
}

// The first key of a name in the first section of a name wins, also when the
// answers come from the index.
TEST(Profile, FirstOfDuplicateKeysAndSectionsWins) {
  TempDirectory dir;
  WriteFileBytes(dir.File("lpost.conf"),
                 "K=outside\r\n[S]\r\nK=first\r\nk=second\r\n[s]\r\nK=third\r\nOnlyHere=x\r\n");
  Profile profile(dir.File("lpost.conf"));
  EXPECT_EQ(profile.GetString("S", "K"), "first");
  EXPECT_EQ(profile.GetString("S", "OnlyHere"), "x");
  EXPECT_EQ(profile.GetString("", "K", "none"), "none");
}

// Readers on several threads while another thread writes: each read gives
// one of the values written, never a torn or stale-index answer.
TEST(Profile, ReadersOnSeveralThreadsDuringWrites) {
  TempDirectory dir;
  Profile profile(dir.File("lpost.conf"));
  ASSERT_TRUE(profile.WriteInt("S", "K", 1));
  std::atomic<bool> done = false;
  std::atomic<int> bad = 0;
  std::vector<std::thread> readers;
  for (int t = 0; t < 3; ++t) {
    readers.emplace_back([&] {
      while (!done) {
        const int value = profile.GetInt("S", "K", 0);
        if (value < 1 || value > 50) ++bad;
      }
    });
  }
  Profile writer = profile;
  for (int i = 2; i <= 50; ++i) ASSERT_TRUE(writer.WriteInt("S", "K", i));
  done = true;
  for (std::thread& reader : readers) reader.join();
  EXPECT_EQ(bad, 0);
  EXPECT_EQ(profile.GetInt("S", "K", 0), 50);
}

// Two threads writing keys of their own into one file, one through a copy
// of a Profile and one through a Profile of its own: every write reports
// success and every key is in the file afterwards.
TEST(Profile, WritersOnTwoThreadsLoseNoKey) {
  TempDirectory dir;
  const std::string path = dir.File("lpost.conf");
  Profile window(path);
  constexpr int kKeys = 300;
  std::atomic<int> failed = 0;
  auto write_keys = [&](Profile profile, std::string section) {
    for (int i = 0; i < kKeys; ++i) {
      if (!profile.WriteInt(section, "K" + std::to_string(i), i)) ++failed;
    }
  };
  std::thread import_worker(write_keys, Profile(path), "Read");
  std::thread window_thread(write_keys, window, "System");
  import_worker.join();
  window_thread.join();
  EXPECT_EQ(failed, 0);
  Profile fresh(path);
  int lost = 0;
  for (const char* section : {"Read", "System"}) {
    for (int i = 0; i < kKeys; ++i) {
      if (fresh.GetInt(section, "K" + std::to_string(i), -1) != i) ++lost;
    }
  }
  EXPECT_EQ(lost, 0);
}

}  // namespace
}  // namespace lp
