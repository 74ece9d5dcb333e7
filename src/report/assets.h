#pragma once

// The page's script and style and the charting library, built into the
// program so that a page works offline and the installed program needs no
// files beside it. The page's own assets are src/report/assets/page.js and
// page.css.

#include <string_view>

namespace velm::report {

std::string_view DygraphsScript();
std::string_view DygraphsStyle();
std::string_view PageScript();
std::string_view PageStyle();
// velm's model as a WebAssembly module, the script that loads it and the
// words that say how far it agrees with velm; all three empty when
// velm-report was built without the module.
std::string_view ModelModule();
std::string_view ModelLoader();
std::string_view ModelAgreement();
// The page's "Explore" panel (assets/explore.js and explore.css), which only
// a page with the model carries; empty likewise.
std::string_view ExploreScript();
std::string_view ExploreStyle();

}  // namespace velm::report
