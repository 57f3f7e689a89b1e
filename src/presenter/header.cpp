#include "presenter/header.h"

namespace ceph::presenter {

void ShowPatient(ui::MainWindow& w) {
    const model::Patient& p = w.state.Patient;
    w.Label1.caption = p.name;
    w.Label0.caption = p.code;
    w.Label3.caption = p.birthDate;
    w.Label15.caption = p.sex;
}

}  // namespace ceph::presenter
