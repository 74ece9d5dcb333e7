#pragma once

// study.html's own script and style, built into velm-study as velm-report
// builds in its page's (src/study/assets/study.js and study.css).

#include <string_view>

namespace velm::study {

std::string_view StudyScript();
std::string_view StudyStyle();

}  // namespace velm::study
