#pragma once
// The one place where diagnostic lines are formatted and written.
// Every subsystem prints through here so that tests can capture the output
// and the formatting rules (items joined by one blank, whole numbers in plain
// decimal, coordinates in their shortest round-trip form) live in one place.

#include <concepts>
#include <cstdint>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace kelmora {

// Shortest decimal form that reads back as the same number, always with at
// least one digit after the point: 812.0, 1194.5, -82.5.
std::string formatDecimal(double value);

// One-line dumps of the maps, rows and tables that diagnostic lines show:
// each text quoted, its line breaks, tabs, quotes and backslashes escaped as
// \n, \r, \t, \" and \\.
std::string dumpMap(const std::map<std::string, std::string>& map);
std::string dumpRow(const std::vector<std::string>& row);
std::string dumpTable(const std::vector<std::vector<std::string>>& table);

template <class T>
std::string diagnosticText(const T& item) {
  if constexpr (std::is_convertible_v<const T&, std::string_view>) {
    return std::string(std::string_view(item));
  } else if constexpr (std::is_same_v<T, bool>) {
    return item ? "true" : "false";
  } else if constexpr (std::is_floating_point_v<T>) {
    return formatDecimal(static_cast<double>(item));
  } else if constexpr (std::is_integral_v<T>) {
    return std::to_string(item);
  } else if constexpr (std::is_same_v<T, std::map<std::string, std::string>>) {
    return dumpMap(item);
  } else if constexpr (std::is_same_v<T, std::vector<std::string>>) {
    return dumpRow(item);
  } else {
    static_assert(std::is_same_v<T, std::vector<std::vector<std::string>>>, "no diagnostic form for this type");
    return dumpTable(item);
  }
}

// Writes one line (a line feed is added) to the current diagnostic sink,
// which is standard output unless a capture is active.
void printLine(std::string_view line);

// Joins the items with one blank and prints them as one line.
template <class... Items>
void printItems(const Items&... items) {
  std::string line;
  bool first = true;
  ((line += (first ? "" : " "), line += diagnosticText(items), first = false), ...);
  printLine(line);
}

// Captures every diagnostic line printed while it lives (tests use it).
// Captures nest: the innermost one receives the lines.
class OutputCapture {
 public:
  OutputCapture();
  ~OutputCapture();

  std::string text() const { return buffer_.str(); }
  std::vector<std::string> lines() const;

 private:
  std::ostringstream buffer_;  // and so a capture is never copied
  std::ostream* previous_;
};

}  // namespace kelmora
