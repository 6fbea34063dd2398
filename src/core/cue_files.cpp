// Where the file of a sound cue is looked for.
#include "core/cue_files.h"

#include <algorithm>

namespace casino {

std::vector<std::string> cue_file_candidates(rules::Cue cue, std::string_view data_dir,
                                             char separator) {
    std::string relative(rules::cue_name(cue));
    std::replace(relative.begin(), relative.end(), '\\', separator);
    std::vector<std::string> candidates{relative};
    if (!data_dir.empty()) {
        std::string installed(data_dir);
        if (installed.back() != separator) installed.push_back(separator);
        candidates.push_back(installed + relative);
    }
    return candidates;
}

}  // namespace casino
