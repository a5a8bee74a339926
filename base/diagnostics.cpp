#include "base/diagnostics.h"

#include <array>
#include <charconv>
#include <cmath>
#include <iostream>

namespace kelmora {
namespace {
std::ostream* currentSink = nullptr;

std::ostream& sink() { return currentSink ? *currentSink : std::cout; }

// Escaped so that a dump stays on one line and reads back one way: line
// breaks and tabs, and so also the quote and the backslash.
std::string quoted(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    switch (c) {
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      default:
        out += c;
    }
  }
  return out + "\"";
}

}  // namespace

std::string formatDecimal(double value) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  std::array<char, 400> buffer{};
  auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed);
  std::string text(buffer.data(), ec == std::errc{} ? end : buffer.data());
  if (text.find('.') == std::string::npos) text += ".0";
  return text;
}

std::string dumpMap(const std::map<std::string, std::string>& map) {
  std::string text = "[";
  bool first = true;
  for (const auto& [key, value] : map) {
    if (!first) text += ", ";
    text += quoted(key) + ": " + quoted(value);
    first = false;
  }
  return text + "]";
}

std::string dumpRow(const std::vector<std::string>& row) {
  std::string text = "[";
  for (std::size_t i = 0; i < row.size(); ++i) {
    if (i) text += ", ";
    text += quoted(row[i]);
  }
  return text + "]";
}

std::string dumpTable(const std::vector<std::vector<std::string>>& table) {
  std::string text = "[";
  for (std::size_t i = 0; i < table.size(); ++i) {
    if (i) text += ", ";
    text += dumpRow(table[i]);
  }
  return text + "]";
}

void printLine(std::string_view line) {
  std::ostream& out = sink();
  out << line << '\n';
  if (&out == &std::cout) out.flush();
}

OutputCapture::OutputCapture() : previous_(currentSink) { currentSink = &buffer_; }

OutputCapture::~OutputCapture() { currentSink = previous_; }

std::vector<std::string> OutputCapture::lines() const {
  std::vector<std::string> result;
  std::string all = buffer_.str();
  std::size_t start = 0;
  while (start < all.size()) {
    std::size_t end = all.find('\n', start);
    if (end == std::string::npos) end = all.size();
    result.emplace_back(all.substr(start, end - start));
    start = end + 1;
  }
  return result;
}

}  // namespace kelmora
