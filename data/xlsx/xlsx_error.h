#pragma once
// The one kind of error the workbook reader raises.

#include <stdexcept>
#include <string>

namespace kelmora::xlsx {

// A reading failure. The description names the part it concerns, so that the
// import's single error line tells the user where the workbook is broken.
class XlsxError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace kelmora::xlsx
