#include "model/figure_alignment.h"

namespace ceph::model {

void GuardScale(FigureAlignment& alignment) {
    if (alignment.scale.Value() == 0) alignment.scale = TypedNumber("1");
}

FigureAlignment ShownAlignment(const std::optional<FigureAlignment>& stored) {
    if (!stored) return {};
    FigureAlignment shown = *stored;
    shown.fields = 3;
    GuardScale(shown);
    shown.top = TypedNumber(FormatGeneral(stored->top.Value()));
    return shown;
}

}  // namespace ceph::model
