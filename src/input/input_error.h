#pragma once

// A run ends at once when an input file cannot be opened, or holds something
// the model cannot work with. The reader that finds it throws InputError:
// which file, which lines and what is wrong, as data. velm's code-page-932
// message is one rendering of it, which the program entry prints before it
// ends with exit code 1; velm-check's English explanation and the Python
// module's exception are others, made from the same fields.

#include <array>
#include <cstddef>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "common/native_path.h"
#include "common/texts.h"
#include "input/file_info.h"

namespace velm {

enum class InputProblem {
  kCannotOpen,
  kNoComma,
  kNameTooLong,
  kTooFewFields,
  kTooFewLines,
  kTooManyLines,
  kTooManyVariables,
  kIndexOutOfRange,
  kTankCountOutOfRange,
  kImperviousIsOne,
  kNoMaxInfiltration,
};

struct InputProblemRow {
  InputProblem Problem;
  std::string_view Id;  // "too-few-fields": its name in velm-check's JSON
  text::Cp932Text Text;
};

inline constexpr std::array<InputProblemRow, 11> kInputProblems{{
    {InputProblem::kCannotOpen, "cannot-open", text::kCannotOpen},
    {InputProblem::kNoComma, "no-comma", text::kNoComma},
    {InputProblem::kNameTooLong, "name-too-long", text::kNameTooLong},
    {InputProblem::kTooFewFields, "too-few-fields", text::kTooFewFields},
    {InputProblem::kTooFewLines, "too-few-lines", text::kTooFewLines},
    {InputProblem::kTooManyLines, "too-many-lines", text::kTooManyLines},
    {InputProblem::kTooManyVariables, "too-many-variables",
     text::kTooManyVariables},
    {InputProblem::kIndexOutOfRange, "index-out-of-range",
     text::kIndexOutOfRange},
    {InputProblem::kTankCountOutOfRange, "tank-count-out-of-range",
     text::kTankCountOutOfRange},
    {InputProblem::kImperviousIsOne, "impervious-is-one",
     text::kImperviousIsOne},
    {InputProblem::kNoMaxInfiltration, "no-max-infiltration",
     text::kNoMaxInfiltration},
}};

constexpr const InputProblemRow& ProblemRow(InputProblem problem) {
  return kInputProblems[static_cast<std::size_t>(problem)];
}

static_assert(
    [] {
      for (std::size_t i = 0; i < kInputProblems.size(); ++i) {
        if (static_cast<std::size_t>(kInputProblems[i].Problem) != i) {
          return false;
        }
      }
      return true;
    }(),
    "kInputProblems holds each problem at its place");

// Lines First to Last of a file, from 1; {0, 0} for the file as a whole.
struct LineRange {
  std::size_t First = 0;
  std::size_t Last = 0;
  bool operator==(const LineRange&) const = default;
};

class InputError : public std::exception {
 public:
  InputError(FileEntry file, LineRange lines, InputProblem problem);

  FileEntry File() const { return file_; }
  LineRange Lines() const { return lines_; }
  InputProblem Problem() const { return problem_; }

  // "<key> <lines>行目 <problem>", or "<key><problem>" without lines: the
  // code-page-932 text velm prints, without a line end.
  std::string Message() const;
  // The same text in UTF-8.
  std::string Utf8Message() const;
  const char* what() const noexcept override { return what_.c_str(); }

  // The catchment directory and the file's name as FILEINFO.dat gives it,
  // when the reader knew them.
  std::filesystem::path Directory;
  std::string Name;
  // For a file that cannot be opened: the path as tried and the system's
  // reason, and whether the name opens in its other encoding.
  std::string PathTried;
  std::string Reason;
  std::optional<NameOnDisk> InOtherEncoding;

 private:
  FileEntry file_;
  LineRange lines_;
  InputProblem problem_;
  std::string what_;
};

// "<key> ファイルをオープンできません" ("FILEINFO 入力ファイル..." for
// FILEINFO.dat), with the path tried and the reason.
[[noreturn]] void ThrowCannotOpen(
    FileEntry file, std::string path, std::string reason,
    std::optional<NameOnDisk> inOtherEncoding = std::nullopt);
// "<key> <line>行目 <problem>", for a line the model cannot work with.
[[noreturn]] void ThrowBadLine(FileEntry file, std::size_t line,
                               InputProblem problem);
// The same for a problem that several lines make together ("5-11行目").
[[noreturn]] void ThrowBadLines(FileEntry file, LineRange lines,
                                InputProblem problem);

}  // namespace velm
