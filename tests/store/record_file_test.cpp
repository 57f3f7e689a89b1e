// Record files: which line is the patient's, reading lines in blocks, creating a
// missing file on the first look.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/filesys.h"
#include "store/record_file.h"
#include "support/temp_dir.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace ceph::store {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using testing::TempDir;

TEST(LineBelongsTo, CodeEqualsTheFirstFieldWithoutBlanks) {
    struct Case {
        const char* line;
        const char* code;
        bool expected;
    };
    const Case cases[] = {
        {"00101,1.0,2.0", "00101", true},
        {"00101,1.0,2.0", "0010", false},
        {"00101,1.0,2.0", "001011", false},
        {"001011,1.0", "00101", false},
        {" 00101\t,1.0", "00101", true},
        {"00101,1.0", " 00101 ", true},
        {"00101", "00101", true},    // a line without a comma is all first field
        {"00101\r", "00101", true},  // a stray CR of a CR LF line
        {"ABC,1", "abc", false},
        {"001 01,1", "00101", false},
        {"", "", false},  // an empty code owns nothing, not even blank lines
        {",1.0", "", false},
        {"  ,1.0", " ", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(store::LineBelongsTo(c.line, c.code), c.expected)
            << '"' << c.line << "\" / \"" << c.code << '"';
    EXPECT_EQ(store::FirstField(" 77 , x"), "77");
    EXPECT_EQ(store::RecordFilePath("data/", 3), "data/ceph-3");
}

Lines ReadAll(const std::string& path) {
    Lines out;
    base::Result<store::RecordReader> reader = store::OpenRecordFile(path);
    EXPECT_TRUE(reader) << path << ": " << reader.why().error.message();
    if (!reader) return out;
    std::string_view line;
    while (reader->Next(line))
        out.emplace_back(line);
    return out;
}

TEST(RecordReader, LinesEndAtCrLfAtALoneCrAndAtALoneLf) {
    TempDir tmp;
    EXPECT_EQ(ReadAll(tmp.Write("a", "x,1\r\ny,2\n\r\nlast").string()),
              (Lines{"x,1", "y,2", "", "last"}));
    EXPECT_EQ(ReadAll(tmp.Write("b", "").string()), Lines{});
    EXPECT_EQ(ReadAll(tmp.Write("c", "\r\n").string()), Lines{""});
    // A lone CR ends a line too; CR CR LF is an empty line between; LF CR two ends.
    EXPECT_EQ(ReadAll(tmp.Write("d", "a,1\rb,2\r\r\nc,3\n\rd,4\r").string()),
              (Lines{"a,1", "b,2", "", "c,3", "", "d,4"}));
}

TEST(RecordReader, ACrLfSplitAcrossTwoReadsIsOneLineEnd) {
    // A stream is read in blocks of 256 KiB: put the CR on the last byte of the first
    // read, and just before and after it.
    constexpr std::size_t kBlock = std::size_t{1} << 18;
    for (std::size_t at = kBlock - 2; at <= kBlock + 1; ++at) {
        const std::string first = "a," + std::string(at - 2, 'x');
        std::istringstream in(first + "\r\nq,2\rr,3");
        store::RecordReader reader(in);
        Lines got;
        std::string_view line;
        while (reader.Next(line))
            got.emplace_back(line);
        EXPECT_EQ(got, (Lines{first, "q,2", "r,3"})) << at;
    }

    // Where each line starts and how long it is with its end, for rewriting in place.
    TempDir tmp;
    base::Result<store::RecordReader> opened =
        store::OpenRecordFile(tmp.Write("f", "ab\r\nc\rd\ne").string());
    ASSERT_TRUE(opened);
    store::RecordReader& reader = *opened;
    std::string_view line;
    std::vector<std::pair<std::uint64_t, std::size_t>> spans;
    while (reader.Next(line))
        spans.emplace_back(reader.LineStart(), reader.RawLength());
    EXPECT_EQ(spans,
              (std::vector<std::pair<std::uint64_t, std::size_t>>{{0, 4}, {4, 2}, {6, 2}, {8, 1}}));
}

TEST(RecordReader, LinesAcrossBlockBoundariesComeOutWhole) {
    // Lines of many lengths, up to one longer than a read block, so that line ends
    // fall on, before and after every block boundary.
    TempDir tmp;
    Lines expected;
    std::string bytes;
    for (std::size_t i = 0; bytes.size() < 900000; ++i) {
        std::string line = std::to_string(i) + "," + std::string((i * 7919) % 5000, 'x');
        if (i == 40) line = "long," + std::string(300000, 'y');
        expected.push_back(line);
        bytes += line + "\r\n";
    }
    expected.push_back("tail-without-end");
    bytes += expected.back();
    EXPECT_EQ(ReadAll(tmp.Write("big", bytes).string()), expected);
}

TEST(OpenRecordFile, CreatesAMissingFileEmptyAndLeavesOthersAlone) {
    TempDir tmp;
    std::string missing = (tmp.path() / "ceph-5").string();
    EXPECT_TRUE(ReadAll(missing).empty());
    ASSERT_TRUE(fs::is_regular_file(missing));
    EXPECT_EQ(fs::file_size(missing), 0u);

    std::string existing = tmp.Write("ceph-1", "a,1\r\n").string();
    EXPECT_EQ(ReadAll(existing), Lines{"a,1"});
    EXPECT_EQ(fs::file_size(existing), 5u);

    // A folder that does not exist reads as an empty file.
    EXPECT_TRUE(ReadAll((tmp.path() / "nowhere" / "ceph-1").string()).empty());

    // Something there that is no regular file is not "nothing stored": it is refused
    // at once (a pipe without a writer would block a plain open for ever).
    fs::create_directory(tmp.path() / "ceph-2");
#ifdef _WIN32
    for (const char* name : {"ceph-2"}) {
#else
    ASSERT_EQ(::mkfifo((tmp.path() / "ceph-3").c_str(), 0600), 0);
    for (const char* name : {"ceph-2", "ceph-3"}) {
#endif
        const base::Result<store::RecordReader> refused =
            store::OpenRecordFile((tmp.path() / name).string());
        ASSERT_FALSE(refused) << name;
        EXPECT_TRUE(refused.why().error) << name;
        EXPECT_EQ(refused.why().file, (tmp.path() / name).string());
        EXPECT_NE(
            store::CannotReadText("x/ceph-2", refused.why().error).find("無法讀取 x/ceph-2："),
            std::string::npos);
    }
}

}  // namespace
}  // namespace ceph::store
