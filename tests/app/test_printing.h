#pragma once
// Readable failure messages for the standard types the tests compare.

#include <string>

#include <QtTest>

#include "data/shared_data.h"
#include "norms/diagnostics.h"

namespace QTest {
template <>
inline char* toString(const std::string& text) {
  return qstrdup(text.c_str());
}
template <>
inline char* toString(const kelmora::ExcelData& data) {
  return qstrdup(kelmora::dumpMap(data).c_str());
}
}  // namespace QTest
