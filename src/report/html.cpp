#include "report/html.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "report/assets.h"

namespace velm::report {

std::string Escape(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string ScriptText(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '<') {
      out += "\\u003c";
    } else {
      out += c;
    }
  }
  return out;
}

std::string JsonNumber(double value) {
  if (!std::isfinite(value)) return "null";
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.10g", value);
  return buffer;
}

std::string JsonArray(const std::vector<std::string>& items,
                      std::string_view separator) {
  std::string out = "[";
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) out += separator;
    out += items[i];
  }
  return out + "]";
}

std::string Base64(std::string_view bytes) {
  static constexpr char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t count = std::min<std::size_t>(3, bytes.size() - i);
    std::uint32_t group = 0;
    for (std::size_t k = 0; k < 3; ++k) {
      const unsigned char byte = k < count ? bytes[i + k] : 0;
      group = group << 8 | byte;
    }
    for (std::size_t k = 0; k < 4; ++k) {
      out += k <= count ? kDigits[(group >> (18 - 6 * k)) & 63] : '=';
    }
  }
  return out;
}

std::string PageHead(std::string_view title, std::string_view pageStyle) {
  // As a data URL the library's own markup strings cannot be mistaken for
  // the page's tags, by browsers and checkers alike.
  return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n"
         "<meta charset=\"utf-8\">\n<title>" +
         std::string(title) +
         "</title>\n"
         "<script>window.onerror = function (message) {\n"
         "  document.documentElement.dataset.scriptError = String(message);\n"
         "};</script>\n<style>\n" +
         std::string(DygraphsStyle()) + "\n</style>\n<style>\n" +
         std::string(pageStyle) +
         "</style>\n<script src=\"data:text/javascript;base64," +
         Base64(DygraphsScript()) + "\"></script>\n</head>\n";
}

}  // namespace velm::report
