#pragma once

// The pieces of an offline HTML page with dygraphs inside, shared by every
// page the programs write.

#include <string>
#include <string_view>
#include <vector>

namespace velm::report {

// Text for an element or an attribute value.
std::string Escape(std::string_view text);

// Text inside a <script> block ends at the first "</" of "</script" and
// changes mode at "<!--"; with every "<" written as the JSON escape \u003c,
// the block holds neither, and JSON text inside it parses to the same value.
std::string ScriptText(std::string_view text);

// Ten significant digits; null for a value that is not finite.
std::string JsonNumber(double value);
std::string JsonArray(const std::vector<std::string>& items,
                      std::string_view separator);

std::string Base64(std::string_view bytes);

// From the doctype to </head>: `title` (already escaped), a hook that marks
// a script error on <html> (data-script-error), dygraphs' style, the page's
// own style and dygraphs' script.
std::string PageHead(std::string_view title, std::string_view pageStyle);

}  // namespace velm::report
