// The lists films are learnt from: columns in any order, landmarks left out or left
// empty on a film, quoted names; and the faults a hand-made list has, each with its line.
#include <gtest/gtest.h>

#include "learning/landmark_list.h"

namespace ceph::learning {
namespace {

std::size_t At(model::Landmark l) {
    return model::Slot(l);
}

TEST(LandmarkList, ColumnsInAnyOrderAndLandmarksNotMarked) {
    const auto films = ReadLandmarkList(
        "\xEF\xBB\xBFN y,picture,N x,U1 Edge x,U1 Edge y\r\n"
        "12.5,001.png,30,,\r\n"
        "\n"
        "40,\"a, b.dcm\",50.25,7,8\n");
    ASSERT_TRUE(films) << films.why();
    ASSERT_EQ(films->size(), 2u);
    const ListedFilm& first = (*films)[0];
    EXPECT_EQ(first.picture, "001.png");
    EXPECT_EQ(first.marks[At(model::Landmark::N)]->x, 30);
    EXPECT_EQ(first.marks[At(model::Landmark::N)]->y, 12.5);
    EXPECT_FALSE(first.marks[At(model::Landmark::U1Edge)]) << "empty fields: not marked";
    EXPECT_FALSE(first.marks[At(model::Landmark::S)]) << "no column: not marked";
    EXPECT_EQ((*films)[1].picture, "a, b.dcm");
    EXPECT_EQ((*films)[1].line, 4);
    EXPECT_EQ((*films)[1].marks[At(model::Landmark::U1Edge)]->y, 8);

    // Written in the columns cephtool prints, read back the same.
    const std::string table = ListHeader() + ListRow("a, b.dcm", (*films)[1].marks);
    EXPECT_EQ(table.rfind("picture,S x,S y,N x,N y,Or x,", 0), 0u);
    const auto again = ReadLandmarkList(table);
    ASSERT_TRUE(again) << again.why();
    EXPECT_EQ((*again)[0].picture, "a, b.dcm");
    EXPECT_EQ((*again)[0].marks[At(model::Landmark::N)]->x, 50.3) << "one decimal";
}

TEST(LandmarkList, FaultsNameTheirLine) {
    const auto fault = [](const char* text) {
        const auto read = ReadLandmarkList(text);
        return read ? std::string() : read.why();
    };
    EXPECT_EQ(fault("file,S x,S y\n"), "第 1 行：欄位「file」不是描點的 x 或 y");
    EXPECT_EQ(fault("picture,Nasion x\n"), "第 1 行：欄位「Nasion x」不是描點的 x 或 y");
    EXPECT_EQ(fault("S x,S y\n1,2\n"), "第 1 行：沒有 picture 欄位");
    EXPECT_EQ(fault("picture,S x,S y\na.png,1,2\nb.png,1,two\n"), "第 3 行：「two」不是數字");
    EXPECT_EQ(fault("picture,S x,S y\na.png,1,\n"), "第 2 行：S 只有一個座標");
    EXPECT_EQ(fault("picture,S x,S y\n,1,2\n"), "第 2 行：沒有圖檔名稱");
    EXPECT_EQ(fault("picture,S x,S y\na.png,1e400,2\n"), "第 2 行：「1e400」不是數字");
    EXPECT_EQ(fault("picture,S x,S y,S x\n"), "第 1 行：欄位「S x」出現兩次");
    // A name holding a line end: the lines after it are counted as the file has them.
    EXPECT_EQ(fault("picture,S x,S y\n\"a\nb.png\",1,2\nc.png,x,2\n"), "第 4 行：「x」不是數字");
}

// What spreadsheets leave: a trailing comma after the header, rows of commas alone.
TEST(LandmarkList, SpreadsheetLeftovers) {
    const auto films = ReadLandmarkList("picture,S x,S y,\r\na.png,1,2,\r\n,,,\r\n");
    ASSERT_TRUE(films) << films.why();
    ASSERT_EQ(films->size(), 1u);
    EXPECT_EQ((*films)[0].marks[At(model::Landmark::S)]->x, 1);
}

}  // namespace
}  // namespace ceph::learning
