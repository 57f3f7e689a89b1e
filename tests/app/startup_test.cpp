// Start-up for one patient, run against scratch data folders: the hand-off, the folders,
// the settings file, the picture menu, the stored tracings and the calibration.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "app/startup.h"
#include "base/filesys.h"
#include "support/fake_services.h"
#include "support/temp_dir.h"
#include "usecases/input.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace ceph::app {
using base::FileExists;
using base::HostPath;
using base::kSeparator;
using base::WithTrailingSeparator;
using ui::App;
using ui::kCriticalOk;
using ui::MessageButtons;
using ui::MessageIcon;

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

const std::string kBig5Name = "\xAA\x4C\xAC\xFC\xB5\xD8";  // 林美華 in code page 950

// One start of the program in a scratch data folder, with the test-data folder "kmr"
// inside it (switched on only when a test writes its marker file).
struct Program {
    testing::TempDir tmp;
    testing::FakeServices services;
    App app{services};
    ui::MainWindow& w = app.win;

    std::string Dir() const { return tmp.str() + kSeparator; }
    std::string TestDataDir() const { return (tmp.path() / "kmr").string(); }
    std::string Handoff(const std::string& bytes) const {
        return tmp.Write("host/handoff.txt", bytes).string();
    }
    void Start(const std::string& handoff) { Start(handoff, tmp.str(), TestDataDir()); }
    void Start(const std::string& handoff, const std::string& currentDir,
               const std::string& testDataDir) {
        FormLoad(app, {handoff, currentDir, testDataDir});
    }
};

Lines Captions(const ui::MenuArray& items) {
    Lines out;
    for (const ui::MenuItem& m : items)
        out.push_back(m.caption);
    return out;
}

std::string FileText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Lines FolderEntries(const fs::path& dir) {
    Lines out;
    for (const auto& e : fs::directory_iterator(dir))
        out.push_back(e.path().filename().string());
    return out;
}

struct HandoffCase {
    const char* label;
    std::string bytes;
    Lines header;  // name, code, birth date, sex
};

void PrintTo(const HandoffCase& c, std::ostream* os) {
    *os << c.label;
}

class HandoffHeader : public ::testing::TestWithParam<HandoffCase> {};

TEST_P(HandoffHeader, FillsTheHeaderLabelsAndCaption) {
    Program p;
    p.Start(p.Handoff(GetParam().bytes));
    const Lines& h = GetParam().header;
    EXPECT_EQ(p.w.Label1.caption, h[0]);
    EXPECT_EQ(p.w.Label0.caption, h[1]);
    EXPECT_EQ(p.w.Label3.caption, h[2]);
    EXPECT_EQ(p.w.Label15.caption, h[3]);
    EXPECT_EQ(p.w.Label13.caption, "");
    EXPECT_EQ(p.w.readceph.caption, h[0] + " 側頭顱分析");
    EXPECT_TRUE(p.services.messages.empty());
    EXPECT_FALSE(p.app.quitRequested);
}

const Lines kLin = {"林美華", "123", "80/01/01", "F"};

INSTANTIATE_TEST_SUITE_P(
    Startup, HandoffHeader,
    ::testing::Values(
        HandoffCase{
            "CrLf", "王小明\r\n00101\r\n75/03/02\r\nM\r\n", {"王小明", "00101", "75/03/02", "M"}},
        HandoffCase{"Big5", kBig5Name + "\r\n123\r\n80/01/01\r\nF\r\n", kLin},
        HandoffCase{"Utf8", "林美華\r\n123\r\n80/01/01\r\nF\r\n", kLin},
        HandoffCase{"Utf8WithBom", "\xEF\xBB\xBF林美華\r\n123\r\n80/01/01\r\nF\r\n", kLin},
        HandoffCase{"CrOnly", kBig5Name + "\r123\r80/01/01\rF", kLin},
        HandoffCase{"LfOnly", "林美華\n123\n80/01/01\nF\n", kLin},
        HandoffCase{"TwoLines", kBig5Name + "\r\n123\r\n", {"林美華", "123", "", ""}},
        HandoffCase{"LinesAfterTheFourthIgnored",
                    "林美華\r\n123\r\n80/01/01\r\nF\r\nextra\r\n999\r\n", kLin},
        HandoffCase{"BlanksKept", " 林美華 \r\n123 \r\n", {" 林美華 ", "123 ", "", ""}},
        HandoffCase{"Empty", "", {"", "", "", ""}}),
    [](const auto& info) { return std::string(info.param.label); });

#ifndef _WIN32
// The test-data folder the original program looked for on drive D.
TEST(Startup, TestDataFolderIsOnDriveDAsARootFolder) {
    EXPECT_EQ(DefaultTestDataDir(), "/d/backup/kmr/");
}
#endif

TEST(Startup, HandoffThatCannotBeReadLeavesTheHeaderEmpty) {
    // The reason says what is missing: the file, or the folder that should hold it.
    const std::pair<const char*, const char*> cases[] = {{"missing.txt", "找不到檔案"},
                                                         {"host", "這個名稱已是一個資料夾"},
                                                         {"gone/OutExe.tmp", "找不到資料夾"}};
    for (const auto& [name, reason] : cases) {
        Program p;
        fs::create_directories(p.tmp.path() / "host");
        const std::string path = (p.tmp.path() / name).string();
        p.Start(path);
        SCOPED_TRACE(name);
        for (const ui::Label* l : {&p.w.Label1, &p.w.Label0, &p.w.Label3, &p.w.Label15})
            EXPECT_EQ(l->caption, "");
        EXPECT_EQ(p.w.readceph.caption, " 側頭顱分析");
        // Told once the window is up, not in the way of start-up.
        EXPECT_TRUE(p.services.messages.empty());
        EXPECT_EQ(p.app.notices, Lines{"無法讀取 " + path + "：" + reason});
        EXPECT_FALSE(p.app.quitRequested);
    }
}

#ifndef _WIN32
// A practice folder named in Big5 on a system whose names are bytes: the name is kept
// as the system gave it, so the patient's tracings and pictures are found there.
TEST(Startup, DataFolderNamedInBig5FindsItsTracings) {
    testing::TempDir tmp;
    const fs::path data = tmp.path() / "\xB4\xFA\xB8\xD5";  // 測試
    fs::create_directories(data / "pics");
    std::ofstream(data / "ceph-2") << "00101,1.0,2.0\r\n";
    std::ofstream(data / "OutExe.tmp") << "王\r\n00101\r\n";
    std::ofstream(data / "selvsys.ini") << "[Selvaron]\r\nPersonPicDir=pics\r\n";
    std::ofstream(data / "pics" / "00101_2.jpg") << "x";
    fs::current_path(data);
    testing::FakeServices services;
    App app{services};
    const std::string here = base::CurrentFolder();
    ASSERT_EQ(here, data.native());
    FormLoad(app, {here + "/OutExe.tmp", here, (tmp.path() / "kmr").native()});
    EXPECT_EQ(app.win.state.DataDir, here + "/");
    EXPECT_EQ(app.win.Label0.caption, "00101");
    EXPECT_TRUE(app.win.readn[1].enabled);
    EXPECT_EQ(app.win.piccas[0].caption, "00101_2.jpg");
    EXPECT_EQ(app.notices, Lines{});
}
#endif

// The picture folder is used whole, however long its name.
TEST(Startup, LongPictureFolderListsItsPictures) {
    Program p;
    const fs::path pics = p.tmp.path() / std::string(80, 'p') / std::string(80, 'q');
    fs::create_directories(pics);
    std::ofstream(pics / "123_1.jpg") << "x";
    p.tmp.Write("selvsys.ini", "[Selvaron]\r\nPersonPicDir=" + pics.string() + "\r\n");
    p.Start(p.Handoff("a\r\n123\r\n"));
    EXPECT_TRUE(p.w.piccas[0].enabled);
    EXPECT_EQ(p.w.piccas[0].caption, "123_1.jpg");
}

TEST(Startup, FilesThatAreNoRegularFilesNeitherHangNorCountAsMissing) {
    // Pipes without a writer where the record, settings and calibration files belong
    // (a plain open would wait for ever), and a folder named like a record file.
    Program p;
    const std::string dir = p.Dir();
    Lines expected = {"無法讀取 " + dir + "ceph-4：這個名稱已是一個資料夾"};
#ifndef _WIN32
    for (const char* name : {"ceph-3", "selvsys.ini", "filesave/CephRate.ini"}) {
        fs::create_directories(p.tmp.path() / "filesave");
        ASSERT_EQ(::mkfifo((p.tmp.path() / name).c_str(), 0600), 0) << name;
    }
    expected.insert(expected.end(),
                    {"無法讀取 " + dir + "ceph-3：這不是一般檔案",
                     "無法讀取 " + dir + "filesave" + kSeparator + "CephRate.ini：這不是一般檔案",
                     "無法讀取 " + dir + "selvsys.ini：這不是一般檔案"});
#endif
    std::sort(expected.begin(), expected.end());
    fs::create_directory(p.tmp.path() / "ceph-4");
    p.tmp.Write("ceph-1", "77,1,2\r\n");
    p.Start(p.Handoff("王\r\n77\r\n"));
    EXPECT_TRUE(p.w.readn[0].enabled);
    EXPECT_FALSE(p.w.readn[2].enabled);
    EXPECT_FALSE(p.w.readn[3].enabled);
    Lines told = p.app.notices;
    std::sort(told.begin(), told.end());
    EXPECT_EQ(told, expected);
    EXPECT_TRUE(p.services.messages.empty());
}

TEST(Startup, HandoffPathIsUsedWithItsBlanks) {
    Program p;
    std::string path = p.tmp.Write("my host/hand off.txt", "王\r\n9\r\n").string();
    p.Start(path);
    EXPECT_EQ(p.w.Label1.caption, "王");
}

TEST(Startup, WithoutHandoffRefusesToRun) {
    // A folder named like the test-data marker must not switch test-data mode on.
    for (bool markerFolder : {false, true}) {
        Program p;
        if (markerFolder) fs::create_directories(p.tmp.path() / "kmr" / "lpdat2");
        p.Start("");
        SCOPED_TRACE(markerFolder);
        ASSERT_EQ(p.services.messages.size(), 1u);
        EXPECT_EQ(p.services.messages[0].text, "請配合牙醫軟體(selv??.exe)使用");
        EXPECT_EQ(p.services.messages[0].style.icon, MessageIcon::Critical);
        EXPECT_EQ(p.services.messages[0].style.buttons, MessageButtons::Ok);
        EXPECT_TRUE(p.app.quitRequested);
        Lines expected = markerFolder ? Lines{"kmr", "filesave"} : Lines{"filesave"};
        Lines entries = FolderEntries(p.tmp.path());
        std::sort(entries.begin(), entries.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(entries, expected);  // no record file was created
    }
}

TEST(Startup, DataDirIsTheCurrentDirWithOneSeparator) {
    for (bool withSeparator : {false, true}) {
        Program p;
        p.Start(p.Handoff("a\r\n1\r\n"), withSeparator ? p.Dir() : p.tmp.str(), p.TestDataDir());
        SCOPED_TRACE(withSeparator);
        EXPECT_EQ(p.w.state.DataDir, p.Dir());
        EXPECT_TRUE(fs::is_directory(p.tmp.path() / "filesave"));
        EXPECT_TRUE(fs::equivalent(fs::current_path(), p.tmp.path()));
    }
}

TEST(Startup, SaveFolderThatCannotBeMadeIsPassedOver) {
    Program p;
    p.tmp.Write("filesave", "a file in the way");
    p.Start(p.Handoff("林美華\r\n123\r\n"));
    EXPECT_EQ(p.w.Label0.caption, "123");
    EXPECT_EQ(p.w.readceph.caption, "林美華 側頭顱分析");
    EXPECT_EQ(p.w.Text2.text, "") << "no scale on file, none made up";
}

TEST(Startup, TestDataModeUsesItsFolderAndCode) {
    Program p;
    p.tmp.Write("kmr/lpdat2", "");
    p.tmp.Write("kmr/ceph-3", "00101,1.0,2.0\r\n");
    p.tmp.Write("kmr/filesave/CephRate.ini", "0.031\r\n");
    p.Start("");
    std::string kmr = p.TestDataDir() + kSeparator;
    EXPECT_EQ(p.w.state.DataDir, kmr);
    EXPECT_EQ(p.w.Label0.caption, "00101");  // no OutExe.tmp: the code stays
    EXPECT_EQ(p.w.Label1.caption, "");
    EXPECT_TRUE(p.services.messages.empty());
    EXPECT_FALSE(p.app.quitRequested);
    EXPECT_TRUE(fs::is_directory(p.tmp.path() / "kmr" / "filesave"));
    EXPECT_TRUE(fs::equivalent(fs::current_path(), p.tmp.path() / "kmr"));
    EXPECT_TRUE(p.w.readn[2].enabled);
    EXPECT_EQ(p.w.Text2.text, "0.031");
    EXPECT_FALSE(fs::exists(p.tmp.path() / "ceph-1"));  // records live in the test folder
}

TEST(Startup, TestDataModeFallsBackToOutExeOnlyWithoutArgument) {
    for (bool withArgument : {false, true}) {
        Program p;
        p.tmp.Write("kmr/lpdat2", "");
        p.tmp.Write("kmr/OutExe.tmp", "陳\r\n555\r\n");
        // A test-data folder spelled with its separator must not get a second one.
        p.Start(withArgument ? p.Handoff("王\r\n777\r\n") : "", p.tmp.str(),
                p.TestDataDir() + kSeparator);
        SCOPED_TRACE(withArgument);
        EXPECT_EQ(p.w.state.DataDir, p.TestDataDir() + kSeparator);
        EXPECT_EQ(p.w.Label0.caption, withArgument ? "777" : "555");
        EXPECT_EQ(p.w.Label1.caption, withArgument ? "王" : "陳");
    }
}

TEST(Startup, PictureDirFromTheSettingsFile) {
    struct Case {
        const char* label;
        bool file;
        std::string value;
        std::string expected;
    };
    const std::string sep(1, kSeparator);
    const Case cases[] = {
        {"missing file", false, "", "12" + sep},
        {"relative", true, "pics", "pics" + sep},
        {"with backslash", true, "pics\\", "pics" + sep},
#ifdef _WIN32
        {"drive", true, "D:\\pics", "D:\\pics\\"},
#else
        {"drive", true, "D:\\pics", "/d/pics/"},
#endif
        {"Big5 ending in 0x5C", true, "pics\xB3\x5C", "pics許" + sep},
        {"long", true, std::string(130, 'p'), std::string(130, 'p') + sep},
    };
    for (const Case& c : cases) {
        Program p;
        if (c.file) p.tmp.Write("selvsys.ini", "[Selvaron]\r\nPersonPicDir=" + c.value + "\r\n");
        p.Start(p.Handoff("a\r\n1\r\n"));
        EXPECT_EQ(p.w.state.PictureDir, c.expected) << c.label;
        EXPECT_EQ(p.w.File1.path, c.expected) << c.label;
    }
}

TEST(Startup, PictureMenuListsThePatientsPictures) {
    Program p;
    p.tmp.Write("selvsys.ini", "[Selvaron]\r\nPersonPicDir=pics\r\n");  // relative to the data
    for (const char* name : {"77_1.bmp", "77a.jpg", "x77ab.bmp", "77abc.bmp", "abc.bmp", "77B.JPG",
                             "7.bmp", "177abcd.bmp", "78a.bmp", "77_2", "77abcd"})
        p.tmp.Write(std::string("pics/") + name, "x");
    fs::create_directories(p.tmp.path() / "pics" / "77x.d");
    p.Start(p.Handoff("王\r\n77\r\n"));
    EXPECT_EQ(Captions(p.w.piccas),
              (Lines{"77_1.bmp", "77_2", "77a.jpg", "77abc.bmp", "77B.JPG", "x77ab.bmp"}));
    for (std::size_t i = 0; i < p.w.piccas.size(); ++i) {
        EXPECT_EQ(p.w.piccas[i].index, static_cast<int>(i));
        EXPECT_TRUE(p.w.piccas[i].enabled) << i;
    }
}

// Films reach the picture folder while the program runs (the DICOM receiver files them
// there): each input lists the folder as it is then, a film gone included.
TEST(Startup, PictureMenuIsReadAgainWhenAnInputStarts) {
    Program p;
    p.tmp.Write("selvsys.ini", "[Selvaron]\r\nPersonPicDir=pics\r\n");
    p.tmp.Write("pics/77_1.bmp", "x");
    p.Start(p.Handoff("王\r\n77\r\n"));
    EXPECT_EQ(Captions(p.w.piccas), Lines{"77_1.bmp"});
    p.tmp.Write("pics/77r01.dcm", "x");
    p.tmp.Write("pics/77r02.dcm", "x");
    usecases::inputn_Click(p.app, 2);
    EXPECT_EQ(Captions(p.w.piccas), (Lines{"77_1.bmp", "77r01.dcm", "77r02.dcm"}));
    EXPECT_EQ(p.w.piccas[2].index, 2);
    fs::remove(p.tmp.path() / "pics" / "77r01.dcm");
    usecases::inputn_Click(p.app, 3);
    EXPECT_EQ(Captions(p.w.piccas), (Lines{"77_1.bmp", "77r02.dcm"}));
}

TEST(Startup, PictureMenuTakesThePatientCodeLiterally) {
    // Wildcards in a code must not list other patients' pictures.
#ifdef _WIN32
    const bool starInNames = false;  // "*" is no character of a Windows file name
#else
    const bool starInNames = true;
#endif
    for (const char* code : {"*", "5550*", "55?01", "55;*"}) {
        Program p;
        for (const char* name : {"55501_1.jpg", "55001_1.jpg", "55;01_1.jpg"})
            p.tmp.Write(std::string("12/") + name, "x");
        if (starInNames) p.tmp.Write("12/*_1.jpg", "x");
        p.Start(p.Handoff(std::string("王\r\n") + code + "\r\n"));
        const Lines expected =
            std::string(code) == "*" && starInNames ? Lines{"*_1.jpg"} : Lines{"File"};
        EXPECT_EQ(Captions(p.w.piccas), expected) << code;
    }
}

TEST(Startup, PictureMenuDisabledWithoutPictures) {
    // No matching file, and no code at all while short file names are about.
    for (const char* handoff : {"王\r\n77\r\n", "王\r\n"}) {
        Program p;
        for (const char* name : {"a.bmp", "ab.bmp", "abc.bmp", "78a.bmp"})
            p.tmp.Write(std::string("12/") + name, "x");
        p.Start(p.Handoff(handoff));
        ASSERT_EQ(p.w.piccas.size(), 1u) << handoff;
        EXPECT_FALSE(p.w.piccas[0].enabled);
        EXPECT_EQ(p.w.piccas[0].caption, "File");
    }
}

TEST(Startup, MenusAndLayoutOfTheBar) {
    Program p;
    p.Start(p.Handoff("王\r\n1\r\n"));
    const ui::MainWindow& w = p.w;
    EXPECT_EQ(Captions(w.printmn),
              (Lines{"頂端", "Line 1", "Line 2", "Line 3", "Line 4", "Line 5"}));
    const Lines slots = {"第 1 張", "第 2 張", "第 3 張", "第 4 張", "第 5 張",
                         "第 6 張", "第 7 張", "第 8 張", "第 9 張"};
    for (const ui::MenuArray* a : {&w.readn, &w.comp, &w.inputn}) {
        EXPECT_EQ(Captions(*a), slots);
        for (std::size_t i = 0; i < a->size(); ++i)
            EXPECT_EQ((*a)[i].index, static_cast<int>(i));
    }
    for (const ui::MenuItem* m : {&w.print00mn, &w.editmn, &w.compmn, &w.graph})
        EXPECT_FALSE(m->enabled) << m->name;
    for (const ui::MenuItem* m : {&w.readmn, &w.inputmmnn, &w.quitmn})
        EXPECT_TRUE(m->enabled) << m->name;
    EXPECT_TRUE(w.state.ToScreen);

    auto place = [](const ui::Control& c) {
        return std::vector<float>{c.left, c.top, c.width, c.height};
    };
    EXPECT_EQ(place(w.Picture3), (std::vector<float>{0, 0, 19200, 6000}));
    EXPECT_EQ(place(w.Picture8), (std::vector<float>{600, 500, 8000, 5000}));
    EXPECT_EQ(place(w.readceph), (std::vector<float>{1200, 1500, 7000, 1500}));
    EXPECT_EQ(w.Picture1.top, 14400 + 500);  // below the screen of the fake services
    EXPECT_EQ(w.state.LandmarkName[16], "S");
    EXPECT_EQ(w.state.LandmarkPairs[1][11], 16);
}

TEST(Startup, StoredTracingsOfThePatientAreMarked) {
    Program p;
    p.tmp.Write("ceph-2", "00101,1.0,2.0\r\n");
    p.tmp.Write("ceph-5", "00102,1.0,2.0\r\n");  // another patient only
    p.tmp.Write("ceph-7", "99,1.0\r\n 00101 ,3.0\r\n");
    p.Start(p.Handoff("王\r\n00101\r\n"));
    for (int i = 0; i < 9; ++i) {
        bool stored = i == 1 || i == 6;
        std::string n = std::to_string(i + 1);
        EXPECT_EQ(p.w.readn[i].enabled, stored) << n;
        EXPECT_EQ(p.w.comp[i].enabled, stored) << n;
        EXPECT_EQ(p.w.inputn[i].caption, (stored ? "修改第 " : "第 ") + n + " 張");
        EXPECT_TRUE(fs::is_regular_file(p.tmp.path() / ("ceph-" + n))) << n;
    }
    EXPECT_EQ(FileText(p.tmp.path() / "ceph-1"), "");
    EXPECT_EQ(FileText(p.tmp.path() / "ceph-5"), "00102,1.0,2.0\r\n");  // left as it was
}

TEST(Startup, CalibrationFromTheFirstFieldOfCephRate) {
    struct Case {
        const char* content;  // nullptr: no file
        const char* expected;
    };
    const Case cases[] = {
        // No scale on file: the box's default would propose lengths from no film.
        {nullptr, ""},
        {"0.0312\r\n", "0.0312"},
        {"0.025,x\r\n", "0.025"},
        {" 0.04 \r\n", "0.04"},
        {"", ""},
        {"0.05", "0.05"},
        // A scale that is none proposes nothing and is no yardstick for the next one.
        {"0.000\r\n", ""},
        {"-0.02\r\n", ""},
        {"abc\r\n", ""},
        {"1e999\r\n", ""},
    };
    for (const Case& c : cases) {
        Program p;
        if (c.content) p.tmp.Write("filesave/CephRate.ini", c.content);
        p.Start(p.Handoff("a\r\n1\r\n"));
        const std::string what = c.content ? c.content : "(none)";
        EXPECT_EQ(p.w.Text2.text, c.expected) << what;
        const bool kept = c.content && *c.content && *c.expected;
        EXPECT_EQ(p.w.state.SavedRate, kept ? std::stod(c.expected) : 0.0) << what;
    }
}

}  // namespace
}  // namespace ceph::app
