#include "imaging/sources.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "base/filesys.h"
#include "base/patient_files.h"
#include "base/safe_file.h"
#include "digitising/digitise.h"
#include "imaging/viewport.h"
#include "pictures/format.h"

namespace ceph::imaging {

namespace {

// The folders below the picker's folder, with ".." first to go up.
void ListFolders(ui::DirListBox& dirs) {
    dirs.items.clear();
    dirs.listIndex = -1;
    std::error_code ec;
    const std::filesystem::path here = base::ToPath(dirs.path);
    if (here.has_parent_path() && here.parent_path() != here) dirs.items.push_back("..");
    std::vector<std::string> names;
    for (std::filesystem::directory_iterator it(here, ec), end; !ec && it != end;
         it.increment(ec)) {
        std::error_code typeError;
        if (it->is_directory(typeError)) names.push_back(base::FromPath(it->path().filename()));
    }
    std::sort(names.begin(), names.end());
    dirs.items.insert(dirs.items.end(), names.begin(), names.end());
}

// The folder changed: list its folders and its pictures: the files the picture formats'
// name patterns match, and those a format names otherwise (DICOM files without an
// extension).
void Dir1_Change(ui::App& app) {
    ui::PickerWindow& p = app.picker;
    ListFolders(p.Dir1);
    p.File1.path = p.Dir1.path;
    p.File1.items = base::ListFiles(p.File1.path, "*");
    std::erase_if(p.File1.items, [&](const std::string& name) {
        return !base::MatchesPattern(name, p.File1.pattern) && !pictures::NamedAsAny(name);
    });
    p.File1.listIndex = -1;
}

void OpenFolder(ui::App& app, const std::string& path) {
    // The folder in full, so that ".." and the drive it lies on can be found.
    std::error_code ec;
    const std::filesystem::path full =
        std::filesystem::absolute(base::ToPath(path), ec).lexically_normal();
    ui::PickerWindow& p = app.picker;
    p.Dir1.path = base::WithoutTrailingSeparator(ec ? path : base::FromPath(full));
    Dir1_Change(app);
    // The drive box names the folder listed, and the drive it lies on is the one chosen.
    p.Drive1.folder = p.Dir1.path;
    p.Drive1.listIndex = -1;
    for (std::size_t i = 0; i < p.Drive1.items.size(); ++i)
        if (p.Dir1.path.rfind(p.Drive1.items[i], 0) == 0 &&
            (p.Drive1.listIndex < 0 ||
             p.Drive1.items[i].size() > p.Drive1.items[p.Drive1.listIndex].size()))
            p.Drive1.listIndex = static_cast<int>(i);
}

}  // namespace

bool LoadPictureFile(ui::App& app, const std::string& path, float z) {
    const base::Result<ui::PictureRef> picture = app.services.LoadPicture(path);
    if (!picture) {
        app.services.ShowMessage("無法讀取圖檔: " + path + "\n" + picture.why().detail,
                                 ui::kCriticalOk);
        return false;
    }
    ShowFilm(app, *picture, path, z);
    return true;
}

void ShowFilm(ui::App& app, const ui::PictureRef& picture, const std::string& path, float z) {
    SetHolderPicture(app, picture);
    app.win.state.Digitising.film.picture = path;
    ShowPicture(app, z);
}

void piccas_Click(ui::App& app, int index) {
    const std::string path = app.win.state.PictureDir + app.win.piccas[index].caption;
    if (!base::FileExists(path))
        piccas00_Click(app);  // the file has gone: let the user find it
    else if (LoadPictureFile(app, path, 1))
        digitising::PictureReplaced(app);
}

void piccas00_Click(ui::App& app) {
    ui::PickerWindow& p = app.picker;
    p.gotalk.tag.clear();
    p.Drive1.items = app.services.Drives();
    p.File1.pattern = pictures::NamePatterns();
    std::error_code ec;
    const std::string start =
        std::filesystem::is_directory(base::ToPath(app.win.state.PictureDir), ec)
            ? app.win.state.PictureDir
            : app.win.state.DataDir;
    OpenFolder(app, start);
    p.gotalk.visible = true;
    app.services.RunPickerModal();
    p.gotalk.visible = false;
    const std::string path = p.gotalk.tag;
    if (base::FileExists(path) && LoadPictureFile(app, path, 1)) digitising::PictureReplaced(app);
}

void Drive1_Change(ui::App& app, int index) {
    ui::PickerWindow& p = app.picker;
    if (index < 0 || index >= static_cast<int>(p.Drive1.items.size())) return;
    p.Drive1.drive = p.Drive1.items[index];
    OpenFolder(app, p.Drive1.drive);
    p.Drive1.listIndex = index;
}

void Dir1_Click(ui::App& app, int index) {
    ui::PickerWindow& p = app.picker;
    if (index < 0 || index >= static_cast<int>(p.Dir1.items.size())) return;
    const std::filesystem::path here = base::ToPath(p.Dir1.path);
    const std::string& item = p.Dir1.items[index];
    OpenFolder(app, base::FromPath(item == ".." ? here.parent_path() : here / base::ToPath(item)));
}

void File1_Click(ui::App& app, int index) {
    ui::PickerWindow& p = app.picker;
    if (index < 0 || index >= static_cast<int>(p.File1.items.size())) return;
    p.gotalk.tag = base::WithTrailingSeparator(p.File1.path) + p.File1.items[index];
    p.gotalk.visible = false;
}

void pastemn_Click(ui::App& app) {
    const std::string path = app.win.Text5.text;
    const ui::PictureRef clipboard = app.services.ClipboardPicture();
    if (!clipboard.empty()) {
        SetHolderPicture(app, clipboard);
        ShowPicture(app, 1);
    } else if (base::FileExists(path)) {
        if (!LoadPictureFile(app, path, 1)) return;
    } else {
        SetHolderPicture(app, app.win.Picture5.picture);
        ShowPicture(app, 1.5f);
        app.services.ShowMessage(kTestPictureMessage, ui::kCriticalOk);
    }
    digitising::PictureReplaced(app);
}

void bmpsave_Click(ui::App& app) {
    ui::MainWindow& w = app.win;
    const std::string& code = w.state.Patient.code;
    if (const auto named = base::CheckCodeName(code); !named) {
        // The picture's name is built from the code: it must stay in the picture folder
        // and mean the same file on every workstation.
        app.services.ShowMessage("病歷號碼「" + base::Printable(code) + "」" + named.why().detail +
                                     "，不能用來命名圖檔，圖案沒有存檔。",
                                 ui::kCriticalOk);
        return;
    }
    const std::string& p = w.Text5.text;
    const std::string base = p.size() >= 3 ? p.substr(0, p.size() - 3) : std::string();
    const std::string bmp = base + "bmp", jpg = base + "jpg";
    if (w.Image1.picture.empty()) {
        // Storing nothing would replace the tracing's radiograph with an empty file.
        app.services.ShowMessage("沒有圖案可以存檔。", ui::kCriticalOk);
        return;
    }
    if (base::FileExists(bmp) || base::FileExists(jpg)) {
        const std::string question = "已存在檔案: " + base + "\r" + "是否繼續存檔?";
        if (app.services.ShowMessage(question, ui::kCriticalYesNoDefaultNo) !=
            ui::MessageAnswer::Yes)
            return;
    }
    w.Picture6.picture = w.Image1.picture;
    if (const std::error_code ec =
            app.services.SavePictureBitmap(w.Picture6.picture, w.Image1.view, bmp)) {
        app.services.ShowMessage("無法寫入檔案: " + bmp + "\n" + base::ErrorText(ec),
                                 ui::kCriticalOk);
        return;
    }
    app.services.ProcessEvents();
    // The new JPEG is the tracing's picture once written; otherwise the new bitmap stays
    // (an older JPEG beside it must not count as the conversion of this one).
    if (const std::error_code ec =
            app.services.SavePictureJpeg(w.Picture6.picture, w.Image1.view, jpg, 80)) {
        app.services.ShowMessage(
            "無法寫入檔案: " + jpg + "\n" + base::ErrorText(ec) + "\n圖案已存為 " + bmp,
            ui::kExclamationOk);
        w.state.Digitising.film.picture = bmp;
        w.state.Digitising.film.turn = {};
        return;
    }
    if (base::FileExists(jpg)) {
        std::error_code ignored;
        std::filesystem::remove(base::ToPath(bmp), ignored);
    }
    // The film traced is now the tracing's own picture, stored as it is shown.
    model::FilmPositions& film = w.state.Digitising.film;
    film.picture = base::FileExists(jpg) ? jpg : bmp;
    film.turn = {};
}

void FillPictureMenu(ui::MainWindow& w) {
    const std::string code = base::LiteralPattern(w.state.Patient.code);
    w.File1.path = w.state.PictureDir;
    // The same names without an extension as well: digital cephalostats often write
    // their DICOM files without one.
    w.File1.pattern = code + "?.*;" + code + "??.*;?" + code + "??.*;" + code + "???.*;" + code +
                      "?;" + code + "??;?" + code + "??;" + code + "???";
    // Without a code the patterns would list any short file name: no patient, no pictures.
    w.File1.items =
        code.empty() ? std::vector<std::string>() : base::ListFiles(w.File1.path, w.File1.pattern);
    // Read afresh each time: films arrive while the program runs (an X-ray unit's, through
    // the receiver), and one may have been removed.
    w.piccas.resize(1);
    if (w.File1.items.empty()) {
        w.piccas[0].enabled = false;
        return;
    }
    w.piccas[0].enabled = true;
    w.piccas[0].caption = w.File1.items[0];
    for (std::size_t n = 1; n < w.File1.items.size(); ++n)
        ui::AddMenuItem(w.piccas, static_cast<int>(n), w.File1.items[n]);
}

}  // namespace ceph::imaging
