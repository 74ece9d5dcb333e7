#include "input/input_error.h"

namespace velm {
namespace {

text::Cp932Text ProblemText(FileEntry file, InputProblem problem) {
  if (problem == InputProblem::kCannotOpen && file == FileEntry::kFileInfo) {
    return text::kInputCannotOpen;
  }
  return ProblemRow(problem).Text;
}

template <typename Field>
std::string Render(FileEntry file, LineRange lines, InputProblem problem,
                   Field field) {
  std::string out(FileRow(file).Key);
  if (lines.First > 0) {
    out += ' ';
    out += std::to_string(lines.First);
    if (lines.Last != lines.First) {
      out += '-';
      out += std::to_string(lines.Last);
    }
    out += field(text::kLineNumber);
    out += ' ';
  }
  return out + std::string(field(ProblemText(file, problem)));
}

}  // namespace

InputError::InputError(FileEntry file, LineRange lines, InputProblem problem)
    : file_(file), lines_(lines), problem_(problem), what_(Message()) {}

std::string InputError::Message() const {
  return Render(file_, lines_, problem_,
                [](text::Cp932Text t) { return t.Bytes; });
}

std::string InputError::Utf8Message() const {
  return Render(file_, lines_, problem_,
                [](text::Cp932Text t) { return t.Utf8; });
}

void ThrowCannotOpen(FileEntry file, std::string path, std::string reason,
                     std::optional<NameOnDisk> inOtherEncoding) {
  InputError error(file, {}, InputProblem::kCannotOpen);
  error.PathTried = std::move(path);
  error.Reason = std::move(reason);
  error.InOtherEncoding = inOtherEncoding;
  throw error;
}

void ThrowBadLine(FileEntry file, std::size_t line, InputProblem problem) {
  ThrowBadLines(file, {line, line}, problem);
}

void ThrowBadLines(FileEntry file, LineRange lines, InputProblem problem) {
  throw InputError(file, lines, problem);
}

}  // namespace velm
