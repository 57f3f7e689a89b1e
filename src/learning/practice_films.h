#pragma once
// The practice's own films to learn from: every tracing of a data folder whose film
// positions still count, its film read and turned as it was shown, at the tracing's own
// scale (its S-N in millimetres over the same on the film).

#include <functional>
#include <string>
#include <vector>

#include "learning/shape_learning.h"

namespace ceph::learning {

// The films of the data folder `dataDir` (ending with the separator), whose pictures lie
// in `pictureDir` (the same); a film that cannot be had as it was traced on, or a record
// file that cannot be read, is told to `tell` in a sentence naming the file and left
// out. Each patient counts once per tracing number. `going`, when given, is asked before
// each film: false stops the reading there.
struct PracticeFilms {
    std::vector<MarkedFilm> films;
    bool allRead = true;  // no record file or film was left out
};
PracticeFilms ReadPracticeFilms(const std::string& dataDir, const std::string& pictureDir,
                                const LearningOptions& options,
                                const std::function<void(const std::string&)>& tell,
                                const std::function<bool()>& going = {});

}  // namespace ceph::learning
