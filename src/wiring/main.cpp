// readceph: lateral cephalometric analysis for one patient, started by the practice's
// management suite with the path of a hand-off file.
#include "platform/run.h"

int main(int argc, char** argv) {
    return ceph::platform::RunReadceph(argc, argv);
}
