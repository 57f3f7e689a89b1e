#pragma once
// `cephtool report`: the printed page of a stored tracing, written as PDF or PNG.

namespace ceph::tools {

int RunReport(int argc, char** argv);

}  // namespace ceph::tools
