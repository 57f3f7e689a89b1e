#pragma once
// Pages written to files without a printer: a PDF file of A4 pages, or a PNG picture a
// page, drawn as paper shows them; and what cephtool draws its pages with, having no
// window: the pictures they show loaded by file, and this machine's date.

#include <QPageLayout>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "page/services.h"
#include "platform/pictures.h"

class QGuiApplication;

namespace ceph::platform {

// The page format of files written without a printer: A4 with margins of 10 mm, the
// pages' coordinates starting at the top-left of the area inside the margins.
QPageLayout FilePageLayout();

// The pages as a PDF file, their pictures from `pictures`. Empty when written;
// otherwise why not (the file is then as it was).
std::error_code WritePdfFile(const std::vector<page::DrawingList>& pages, const std::string& path,
                             const PictureStore* pictures);

// The pages as PNG pictures at `dpi`, one file per page ("-2", "-3" … before the
// extension from the second page on).
// Empty when every page was written; otherwise why not.
std::error_code WritePngFiles(const std::vector<page::DrawingList>& pages, const std::string& path,
                              int dpi, const PictureStore* pictures);

// Today's date on this machine: its year and month for a patient's age, and the day for
// a page.
page::YearMonth DateToday();

// Qt's painting and picture readers for cephtool, which has no window: the offscreen
// platform unless another is asked for. Lives as long as the command needs them.
class OffscreenQt {
  public:
    OffscreenQt();
    ~OffscreenQt();
    OffscreenQt(const OffscreenQt&) = delete;
    OffscreenQt& operator=(const OffscreenQt&) = delete;

  private:
    int argc_ = 1;
    char name_[9] = "cephtool";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QGuiApplication> app_;
};

// The pages of cephtool: pictures and pages are real, and there is no window.
class PageFiles : public page::PictureLookup {
  public:
    base::Result<page::PictureRef> LoadPicture(const std::string& path) override {
        return pictures_.Load(path);
    }
    page::PictureRef TurnedPicture(const page::PictureRef& picture, model::FilmTurn turn) override {
        return pictures_.Turned(picture, turn);
    }
    page::YearMonth Today() const { return DateToday(); }
    std::error_code WritePdf(const std::vector<page::DrawingList>& pages, const std::string& path) {
        return WritePdfFile(pages, path, &pictures_);
    }
    std::error_code WritePng(const std::vector<page::DrawingList>& pages, const std::string& path,
                             int dpi) {
        return WritePngFiles(pages, path, dpi, &pictures_);
    }

  private:
    PictureStore pictures_;
};

}  // namespace ceph::platform
