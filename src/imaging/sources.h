#pragma once
// Where radiographs come from during input (the patient's picture files, a file chosen
// in the picker, the clipboard, the test picture) and storing one as the tracing's
// picture.

#include <string>

#include "ui/app.h"

namespace ceph::imaging {

// Loads a picture file into the holder and shows it at zoom z. A file that cannot be
// read is named in a message and leaves the view as it was; returns whether it loaded.
bool LoadPictureFile(ui::App& app, const std::string& path, float z);
// Shows a film already loaded from `path`, as LoadPictureFile does.
void ShowFilm(ui::App& app, const ui::PictureRef& picture, const std::string& path, float z);

// Lists the patient's picture files in the picture menu (讀取圖案): the code followed by
// one to three characters, with or without an extension.
void FillPictureMenu(ui::MainWindow& w);

void piccas_Click(ui::App& app, int index);  // a picture file of the patient
void piccas00_Click(ui::App& app);           // choose a file in the picker
void pastemn_Click(ui::App& app);            // clipboard, else the tracing's file
void bmpsave_Click(ui::App& app);            // store as the tracing's picture

// The picker window.
void Drive1_Change(ui::App& app, int index);
void Dir1_Click(ui::App& app, int index);
void File1_Click(ui::App& app, int index);

// Messages of this part of the program.
inline constexpr const char* kTestPictureMessage = "此為測試圖案";

}  // namespace ceph::imaging
