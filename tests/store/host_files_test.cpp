// What the program takes from the host: paths, file tests, file-name patterns, the
// hand-off file's lines and encodings, and the suite's settings file.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/filesys.h"
#include "base/text_codec.h"
#include "store/handoff.h"
#include "store/settings.h"
#include "support/temp_dir.h"

namespace ceph::store {
using base::Big5ToUtf8;
using base::DecodeHostText;
using base::EndsWithSeparator;
using base::FileExists;
using base::FromPath;
using base::HostPath;
using base::IsValidUtf8;
using base::kSeparator;
using base::ListFiles;
using base::MatchesPattern;
using base::ToPath;
using base::Utf8ToBig5;
using base::WithoutTrailingSeparator;
using base::WithTrailingSeparator;

namespace {

using Lines = std::vector<std::string>;
using testing::TempDir;

// 林美華 in code page 950.
const std::string kBig5Name = "\xAA\x4C\xAC\xFC\xB5\xD8";

#ifndef _WIN32
TEST(HostPath, DriveLettersBecomeRootFolders) {
    EXPECT_EQ(HostPath("d:\\backup\\kmr\\lpdat2"), "/d/backup/kmr/lpdat2");
    EXPECT_EQ(HostPath("D:\\pics"), "/d/pics");
    EXPECT_EQ(HostPath("C:\\"), "/c/");
    EXPECT_EQ(HostPath("pics\\2024"), "pics/2024");
    EXPECT_EQ(HostPath("/srv/pics"), "/srv/pics");
}

TEST(HostPath, DriveRelativePathStaysBelowTheDriveFolder) {
    // "D:pics" is "pics" on drive D; its letter folder must stay a folder of its own.
    EXPECT_EQ(HostPath("D:pics"), "/d/pics");
}
#endif

TEST(Separators, AddedOnceAndRemovedExceptFromARoot) {
    EXPECT_EQ(WithTrailingSeparator("data"), std::string("data") + kSeparator);
    EXPECT_EQ(WithTrailingSeparator("data\\"), "data\\");
    EXPECT_EQ(WithTrailingSeparator("data/"), "data/");
    EXPECT_EQ(WithoutTrailingSeparator("/srv/data/"), "/srv/data");
    EXPECT_EQ(WithoutTrailingSeparator("/"), "/");
    EXPECT_EQ(WithoutTrailingSeparator("C:\\"), "C:\\");
}

TEST(FileExists, OnlyForReadableFiles) {
    TempDir tmp;
    tmp.Write("empty", "");
    tmp.Write("full", "x");
    std::filesystem::create_directory(tmp.path() / "folder");
    EXPECT_TRUE(FileExists((tmp.path() / "empty").string()));
    EXPECT_TRUE(FileExists((tmp.path() / "full").string()));
    EXPECT_FALSE(FileExists((tmp.path() / "folder").string()));
    EXPECT_FALSE(FileExists((tmp.path() / "missing").string()));
    EXPECT_FALSE(FileExists(""));
}

TEST(MatchesPattern, WildcardsWithoutRegardToCase) {
    struct Case {
        const char* name;
        const char* patterns;
        bool expected;
    };
    const Case cases[] = {
        {"77a.jpg", "77?.*", true},
        {"77A.JPG", "77?.*", true},
        {"77.jpg", "77?.*", false},
        {"77_1.bmp", "77?.*", false},
        {"77_1.bmp", "77??.*", true},
        {"x77ab.bmp", "?77??.*", true},
        {"xx77ab.bmp", "?77??.*", false},
        {"77abc.bmp", "77???.*", true},
        {"\xC3\xA9"
         "7.bmp",
         "?7.bmp", true},  // "?" takes a whole multi-byte character
        {"aXbXc.bmp", "a*b*.bmp", true},
        {"a.txt.bak", "*.txt", false},
        {"x.jpg", "*.bmp;*.jpg", true},
        {"xjpg", "*.bmp;*jpg", true},
        {"x.png", "*.bmp;*jpg", false},
        {"abc", ";;abc", true},
        {"abc", "", false},
        // A backslash makes the next character literal, a ";" included.
        {"*_1.jpg", "\\*_1.jpg", true},
        {"55501_1.jpg", "5550\\*_1.jpg", false},
        {"a;b.jpg", "a\\;b.jpg", true},
        {"a?.jpg", "a\\?.jpg", true},
        {"ab.jpg", "a\\?.jpg", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchesPattern(c.name, c.patterns), c.expected) << c.name << " ~ " << c.patterns;
    EXPECT_EQ(base::LiteralPattern("a*b?c;d\\e"), "a\\*b\\?c\\;d\\\\e");
    EXPECT_TRUE(MatchesPattern("a*b?c;d\\e", base::LiteralPattern("a*b?c;d\\e")));
}

TEST(ListFiles, MatchingFilesSortedByNameWithoutRegardToCase) {
    TempDir tmp;
    for (const char* name : {"b.bmp", "A.bmp", "c.txt", "a2.BMP"})
        tmp.Write(name, "x");
    std::filesystem::create_directory(tmp.path() / "d.bmp");
    EXPECT_EQ(ListFiles(tmp.str(), "*.bmp"), (Lines{"A.bmp", "a2.BMP", "b.bmp"}));
    EXPECT_TRUE(ListFiles((tmp.path() / "missing").string(), "*.*").empty());
}

TEST(SplitLines, AnyLineEndCountsAndNothingIsTrimmed) {
    struct Case {
        const char* text;
        Lines expected;
    };
    const Case cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"\n", {""}},
        {" a \r\n", {" a "}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(store::SplitLines(c.text), c.expected) << '"' << c.text << '"';
}

TEST(HandoffPathFromArguments, SplitPiecesJoinedWithBlanks) {
    EXPECT_EQ(store::HandoffPathFromArguments({}), "");
    EXPECT_EQ(store::HandoffPathFromArguments({"/tmp/my file.txt"}), "/tmp/my file.txt");
    EXPECT_EQ(store::HandoffPathFromArguments({"/tmp/my", "file.txt"}), "/tmp/my file.txt");
}

TEST(ReadHandoff, FirstFourLinesOrNothingWhenUnreadable) {
    TempDir tmp;
    EXPECT_FALSE(store::ReadHandoff((tmp.path() / "missing").string()).ok());
    EXPECT_FALSE(store::ReadHandoff(tmp.str()).ok());  // a folder
    auto empty = store::ReadHandoff(tmp.Write("empty", "").string());
    ASSERT_TRUE(empty.ok());
    EXPECT_TRUE(empty->empty());
    auto six =
        store::ReadHandoff(tmp.Write("six", "n\r\nc\r\nb\r\nM\r\nextra\r\nmore\r\n").string());
    ASSERT_TRUE(six.ok());
    EXPECT_EQ(*six, (Lines{"n", "c", "b", "M"}));
}

// The message at start-up names the file and the system's reason, so a failed read
// must carry both.
TEST(ReadHandoff, AFailedReadCarriesTheFileAndTheReason) {
    TempDir tmp;
    const std::string missing = (tmp.path() / "missing").string();
    const auto read = store::ReadHandoff(missing);
    ASSERT_FALSE(read.ok());
    EXPECT_EQ(read.why().file, missing);
    EXPECT_EQ(read.why().error, std::errc::no_such_file_or_directory);
}

TEST(DecodeHostText, Utf8AsItIsOtherwiseBig5) {
    struct Case {
        std::string bytes;
        std::string expected;
    };
    const Case cases[] = {
        {"plain", "plain"},
        {"林美華", "林美華"},
        {"\xEF\xBB\xBF林美華", "林美華"},
        {kBig5Name, "林美華"},
        {"\xB3\x5C", "許"},  // the trail byte is a backslash in ASCII
        {"A\xFF"
         "B",
         "A\xEF\xBF\xBD"
         "B"},
        {kBig5Name + "\xAA", "林美華\xEF\xBF\xBD"},  // cut in the middle of a character
        // UTF-16 with its mark, both byte orders, a pair of surrogates, a lone one and
        // an odd last byte.
        {std::string("\xFF\xFE\x97\x67\x0D\x00\x0A\x00"
                     "7\x00",
                     10),
         "林\r\n7"},
        {std::string("\xFE\xFF\x67\x97\x00"
                     "7",
                     6),
         "林7"},
        {std::string("\xFF\xFE\x3D\xD8\x00\xDE\x00\xD8"
                     "A\x00"
                     "B",
                     11),
         "\xF0\x9F\x98\x80\xEF\xBF\xBD"
         "A\xEF\xBF\xBD"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecodeHostText(c.bytes), c.expected) << c.expected;
    EXPECT_EQ(Utf8ToBig5("林美華"), kBig5Name);
}

TEST(IsValidUtf8, RejectsMalformedSequences) {
    EXPECT_TRUE(IsValidUtf8("林 a \xF0\x9F\x98\x80"));
    for (const char* bad : {"\xC0\x80", "\xE0\x80\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                            "\xE6\x9E", "\x80", "\xC3\x28"})
        EXPECT_FALSE(IsValidUtf8(bad)) << ::testing::PrintToString(std::string(bad));
}

TEST(ReadIniValue, LikeThePrivateProfileReader) {
    struct Case {
        const char* name;
        std::string content;
        std::string expected;
    };
    const Case cases[] = {
        {"plain", "[Selvaron]\r\nPersonPicDir=D:\\pics\r\n", "D:\\pics"},
        {"names without case", "[SELVARON]\npersonpicdir=p\n", "p"},
        {"blanks and quotes", "[ Selvaron ]\n  PersonPicDir =  \"D:\\my pics\"  \n", "D:\\my pics"},
        {"first wins", "[Selvaron]\nPersonPicDir=a\nPersonPicDir=b\n", "a"},
        {"other section", "[Other]\nPersonPicDir=a\n[Selvaron]\nX=1\n", "12"},
        {"before any section", "PersonPicDir=a\n[Selvaron]\n", "12"},
        {"comment", "[Selvaron]\n;PersonPicDir=a\n", "12"},
        {"byte-order mark", "\xEF\xBB\xBF[Selvaron]\r\nPersonPicDir=p\r\n", "p"},
        {"Big5 value", "[Selvaron]\r\nPersonPicDir=D:\\\xB3\x5C\r\n", "D:\\許"},
        {"empty value", "[Selvaron]\nPersonPicDir=\n", ""},
        {"cut to 99", "[Selvaron]\nPersonPicDir=" + std::string(120, 'x') + "\n",
         std::string(99, 'x')},
    };
    TempDir tmp;
    for (const Case& c : cases) {
        std::string path = tmp.Write("selvsys.ini", c.content).string();
        EXPECT_EQ(store::ReadIniValue(path, "Selvaron", "PersonPicDir", "12"), c.expected)
            << c.name;
    }
    EXPECT_EQ(store::ReadIniValue((tmp.path() / "missing.ini").string(), "Selvaron", "PersonPicDir",
                                  "12"),
              "12");
}

}  // namespace
}  // namespace ceph::store
