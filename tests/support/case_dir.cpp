#include "support/case_dir.h"

#include <iconv.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace velm::testing {

namespace fs = std::filesystem;

CaseDir::CaseDir(std::string_view base) {
  std::string pattern = (fs::temp_directory_path() / "velm-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("cannot create a temporary directory");
  }
  path_ = pattern;
  fs::copy(fs::path(VELM_CASES_DIR) / "base" / base, path_);
}

CaseDir::~CaseDir() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

void CaseDir::SetLine(const std::string& name, int number,
                      std::string_view text) const {
  std::ifstream in(path_ / name, std::ios::binary);
  std::string content{std::istreambuf_iterator<char>(in),
                      std::istreambuf_iterator<char>()};
  std::size_t start = 0;
  for (int n = 1; n < number; ++n) start = content.find('\n', start) + 1;
  const std::size_t end = content.find("\r\n", start);
  content.replace(start, end - start, text);
  std::ofstream(path_ / name, std::ios::binary) << content;
}

std::string ToCp932(std::string_view utf8) {
  iconv_t converter = iconv_open("CP932", "UTF-8");
  if (converter == reinterpret_cast<iconv_t>(-1)) {
    throw std::runtime_error("iconv has no CP932");
  }
  std::string in(utf8);
  std::string out(in.size() * 2 + 16, '\0');
  char* inPointer = in.data();
  std::size_t inLeft = in.size();
  char* outPointer = out.data();
  std::size_t outLeft = out.size();
  const std::size_t converted =
      iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft);
  iconv_close(converter);
  if (converted == static_cast<std::size_t>(-1)) {
    throw std::runtime_error("text has no CP932 form");
  }
  out.resize(out.size() - outLeft);
  return out;
}

}  // namespace velm::testing
