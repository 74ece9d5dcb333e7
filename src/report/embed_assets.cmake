# Writes a C++ source that holds the dygraphs script and style as byte arrays.
# Run as: cmake -DSCRIPT=... -DSTYLE=... -DOUTPUT=... -P embed_assets.cmake
function(byte_array variable file)
  file(READ "${file}" hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
  set(${variable} "${bytes}" PARENT_SCOPE)
endfunction()

byte_array(script_bytes "${SCRIPT}")
byte_array(style_bytes "${STYLE}")
file(WRITE "${OUTPUT}.tmp" "// Generated from ${SCRIPT} and ${STYLE}.
#include \"report/assets.h\"

namespace velm::report {
namespace {
const char kScript[] = {${script_bytes}};
const char kStyle[] = {${style_bytes}};
}  // namespace

std::string_view DygraphsScript() { return {kScript, sizeof kScript}; }
std::string_view DygraphsStyle() { return {kStyle, sizeof kStyle}; }

}  // namespace velm::report
")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
