#pragma once
// `cephtool receive`: the DICOM receiver that files the films X-ray units send under
// their patients (receiving/dicom_service.h), run until stopped.

#include "tools/options.h"

namespace ceph::tools {

extern const CommandRules kReceiveRules;

int RunReceive(int argc, char** argv);

}  // namespace ceph::tools
