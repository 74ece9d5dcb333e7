#include "common/text_writer.h"

#include "common/number_format.h"

namespace velm {

TextWriter& TextWriter::operator<<(std::string_view text) {
  out_->write(text.data(), static_cast<std::streamsize>(text.size()));
  return *this;
}

TextWriter& TextWriter::operator<<(double value) {
  return *this << std::string_view(FormatNumber(value));
}

TextWriter& TextWriter::operator<<(int value) {
  return *this << std::string_view(std::to_string(value));
}

TextWriter& TextWriter::operator<<(EndLineTag) {
  *this << (end_ == LineEnd::kCrLf ? std::string_view("\r\n") : "\n");
  out_->flush();
  return *this;
}

}  // namespace velm
