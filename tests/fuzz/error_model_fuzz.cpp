// A practice's landmark error table: any bytes give a model whose every figure is
// within its bounds, or a refusal that names a line; an accepted model drives the
// Monte Carlo without a fault.
#include <cmath>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "uncertainty/uncertainty.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace ceph::uncertainty;
    using ceph::model::kRows;
    using ceph::model::PointTable;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const ceph::base::Result<ErrorModel> model = ParseErrorModel(text);
    if (!model) {
        FUZZ_CHECK(model.why().detail.starts_with("line "));
        return 0;
    }
    for (int k = 1; k <= 19; ++k) {
        const LandmarkError& e = model->landmark[k];
        FUZZ_CHECK(e.sx >= 0 && e.sx <= 20 && e.sy >= 0 && e.sy <= 20);
        FUZZ_CHECK(e.r > -1 && e.r < 1);
    }
    PointTable X{}, Y{};
    for (int k = 1; k <= 19; ++k)
        X[k] = static_cast<float>(10 * (k % 7)), Y[k] = static_cast<float>(10 * (k % 5));
    const Uncertainty u = EstimateUncertainty(*model, X, Y, 20);
    for (int row = 0; row < kRows; ++row) {
        FUZZ_CHECK(u.undefinedDraws[row] >= 0 && u.undefinedDraws[row] <= 20);
        FUZZ_CHECK(std::isnan(u.halfWidth[row]) == (u.undefinedDraws[row] == 20));
    }
    return 0;
}
