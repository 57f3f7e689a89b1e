// Marking the slots of the tracing menus that hold one of the patient's tracings.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/filesys.h"
#include "store/record_file.h"
#include "support/temp_dir.h"
#include "usecases/mark_stored.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace ceph::usecases {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using testing::TempDir;

class MarkStored : public ::testing::Test {
  protected:
    TempDir tmp;
    ui::MainWindow w;
    void SetUp() override {
        w.state.DataDir = tmp.str() + base::kSeparator;
        for (int i = 1; i < ui::kTracingSlots; ++i) {
            std::string n = std::to_string(i + 1);
            ui::AddMenuItem(w.readn, i, "第 " + n + " 張");
            ui::AddMenuItem(w.comp, i, "第 " + n + " 張");
            ui::AddMenuItem(w.inputn, i, "第 " + n + " 張");
        }
    }
    void ExpectStored(const std::vector<bool>& stored) {
        for (int i = 0; i < ui::kTracingSlots; ++i) {
            std::string n = std::to_string(i + 1);
            EXPECT_EQ(w.readn[i].enabled, stored[i]) << "readn " << n;
            EXPECT_EQ(w.comp[i].enabled, stored[i]) << "comp " << n;
            EXPECT_EQ(w.inputn[i].caption, (stored[i] ? "修改第 " : "第 ") + n + " 張");
        }
    }
};

TEST_F(MarkStored, OnlyFilesWithAnExactlyMatchingFirstField) {
    const char* files[ui::kTracingSlots] = {
        "00101,1.0,2.0\r\n",           // 1: the patient
        "0010,1.0\r\n",                // 2: a shorter code
        "001011,1.0\r\n",              // 3: a longer code
        "  00101  ,1.0\r\n",           // 4: blanks around the code
        "99999,1.0\r\n00101,1.0\r\n",  // 5: not the first line
        "00102,1.0\r\n",               // 6: another patient only
        "",                            // 7: empty
        nullptr,                       // 8: missing
        "\r\n00101\r\n",               // 9: the code alone on a line
    };
    for (int i = 0; i < ui::kTracingSlots; ++i)
        if (files[i]) tmp.Write("ceph-" + std::to_string(i + 1), files[i]);
    MarkStoredTracings(w, "00101");
    ExpectStored({true, false, false, true, true, false, false, false, true});
    EXPECT_TRUE(fs::is_regular_file(tmp.path() / "ceph-8"));
    EXPECT_EQ(fs::file_size(tmp.path() / "ceph-6"), 11u);
}

TEST_F(MarkStored, PatientWithoutTracingsLeavesEverySlotDisabled) {
    tmp.Write("ceph-3", "00102,1.0\r\n");
    MarkStoredTracings(w, "00101");  // the items start enabled, as created
    ExpectStored(std::vector<bool>(ui::kTracingSlots, false));
    Lines created;
    for (const auto& e : fs::directory_iterator(tmp.path()))
        created.push_back(e.path().filename().string());
    EXPECT_EQ(created.size(), 9u);  // the nine record files and nothing else
}

TEST_F(MarkStored, DataFolderThatIsMissingMarksNothing) {
    w.state.DataDir = (tmp.path() / "gone").string() + base::kSeparator;
    MarkStoredTracings(w, "00101");
    ExpectStored(std::vector<bool>(ui::kTracingSlots, false));
}

}  // namespace
}  // namespace ceph::usecases
