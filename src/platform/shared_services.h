#pragma once
// What the program's window and the headless services do alike when the behaviour asks
// the platform: the screen (with one fallback size when there is none), today's date,
// the pictures and their files, the report panel as a bitmap and pages as a PDF file.

#include "platform/pictures.h"
#include "ui/services.h"

namespace ceph::platform {

class SharedServices : public ui::Services {
  public:
    ui::ScreenInfo Screen() const override;
    ui::YearMonth Today() const override;

    base::Result<ui::PictureRef> LoadPicture(const std::string& path) override;
    ui::PictureRef GuideDrawing() override;
    ui::PictureRef TurnedPicture(const ui::PictureRef& picture, model::FilmTurn turn) override;
    std::error_code SavePictureBitmap(const ui::PictureRef& picture, const ui::PictureView& shown,
                                      const std::string& path) override;
    std::error_code SavePictureJpeg(const ui::PictureRef& picture, const ui::PictureView& shown,
                                    const std::string& path, int quality) override;
    bool SaveBitmap(const ui::PictureBox& box, const std::string& path) override;
    learning::GreyFilm GreyPixels(const ui::PictureRef& picture) override;
    std::string InstalledFolder() const override;
    std::error_code WritePdf(const std::vector<ui::DrawingList>& pages,
                             const std::string& path) override;

    const PictureStore& Pictures() const { return pictures_; }
    // The window releases the pictures the model no longer holds.
    PictureStore& Pictures() { return pictures_; }

  protected:
    PictureStore pictures_;

  private:
    ui::PictureRef guide_;
};

}  // namespace ceph::platform
