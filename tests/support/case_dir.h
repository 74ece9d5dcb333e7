#pragma once

// Catchment directories for tests that run parts of velm in this process: a
// copy of one of the case directories kept as data under tests/cases/base,
// edited line by line, and passed to the code under test by its path.

#include <filesystem>
#include <string>
#include <string_view>

namespace velm::testing {

// A fresh copy of tests/cases/base/<base>, removed afterwards.
class CaseDir {
 public:
  explicit CaseDir(std::string_view base = "three-days");
  ~CaseDir();
  CaseDir(const CaseDir&) = delete;
  CaseDir& operator=(const CaseDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  // Replaces line `number` (from 1) of a file, keeping its CR LF.
  void SetLine(const std::string& name, int number,
               std::string_view text) const;

 private:
  std::filesystem::path path_;
};

// Code-page-932 bytes of a UTF-8 text, by iconv.
std::string ToCp932(std::string_view utf8);

}  // namespace velm::testing
