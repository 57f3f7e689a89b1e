#include "tools/receive_command.h"

// The receiver's usage is the same in every build, whether it receives or not.
namespace ceph::tools {

namespace {

constexpr OptionRule kReceiveOptions[] = {
    {.name = "--data", .required = true},
    {.name = "--port", .kind = OptionRule::Number, .min = 0, .max = 65535, .required = true},
    {.name = "--ae", .required = true},
    {.name = "--bind"},
    {.name = "--allow"},
    {.name = "--allow-any", .kind = OptionRule::Switch},
    {.name = "--tls-key"},
    {.name = "--tls-cert"},
    {.name = "--tls-ca"},
    {.name = "--tls-required", .kind = OptionRule::Switch},
    {.name = "--associations", .kind = OptionRule::Number, .min = 1, .max = 64},
    {.name = "--idle", .kind = OptionRule::Number, .min = 1, .max = 3600},
    {.name = "--log"},
    {.name = "--settings"},
};

}  // namespace

const CommandRules kReceiveRules{
    .command = "receive",
    .synopsis =
        "cephtool receive --data DIR --port N --ae TITLE --bind ADDRESS\n"
        "                 --allow TITLE@HOST[,TITLE@HOST]... | --allow-any\n"
        "                 [--tls-key F --tls-cert F --tls-ca F [--tls-required]]\n"
        "                 [--associations N] [--idle SECONDS] [--log FILE]\n"
        "       cephtool receive --settings FILE [OPTION]...\n",
    .details =
        "  receives films over DICOM (C-ECHO; C-STORE of DX, CR and SC images) on\n"
        "  ADDRESS port N as TITLE, from the units of the allow list only (their\n"
        "  calling title at their host), until stopped; each film is checked as the\n"
        "  program opens pictures and filed in the data folder's picture folder as\n"
        "  CODErNN.dcm, CODE its Patient ID, where the picture menu lists it for that\n"
        "  patient; a film of no patient or one that cannot be opened goes to\n"
        "  \"incoming\" beside the picture folder and the sender is told it failed;\n"
        "  --allow-any lets every sender in (said in the log); with the TLS files the\n"
        "  receiver takes TLS associations from units whose certificate an authority\n"
        "  of --tls-ca signed, and with --tls-required no plain ones; at most\n"
        "  --associations at once (default 4), each ended after --idle seconds of\n"
        "  silence (default 60); a line per association and per film goes to standard\n"
        "  error and to --log (default DIR/receive.log, its last 256 KB kept);\n"
        "  --settings reads options from FILE, one a line with its value after it,\n"
        "  # starting a comment line\n",
    .options = kReceiveOptions,
};

}  // namespace ceph::tools
