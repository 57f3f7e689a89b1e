#pragma once
// Writes the nine record files of a busy practice into a scratch folder, so the record
// benchmarks read files of the size and shape the program meets in daily use.

#include <string>

namespace ceph::bench {

struct RecordSet {
    int patientsPerFile = 50000;
    // A code no file holds: looking for it reads every file to its end.
    std::string absentCode = "54321";
    // A code every file holds a few lines before its end.
    std::string lateCode = "12345";
    int linesAfterLateCode = 5;
};

// One record line of `code` as finishing a tracing writes it: the code, 19 landmark
// pairs in millimetres with S at the origin, "0" and the age text, 40 commas, no line end.
std::string MakeRecordLine(const std::string& code, unsigned seed);

// Writes "ceph-1" … "ceph-9" into `dir` (which must exist), replacing any there. Each
// file holds `patientsPerFile` distinct five-digit codes in shuffled order, CR LF after
// every line. The same set gives the same bytes on every run.
void WriteRecordFiles(const std::string& dir, const RecordSet& set);

}  // namespace ceph::bench
