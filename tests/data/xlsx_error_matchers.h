#pragma once
// Reader errors in tests: matched by kind and part, printed by kind name.

#include <gmock/gmock.h>

#include <ostream>
#include <string>

#include "data/xlsx/xlsx_error.h"

namespace kelmora::xlsx {

inline void PrintTo(XlsxError::Kind kind, std::ostream* out) {
  using enum XlsxError::Kind;
  switch (kind) {
    case missingPart:
      *out << "missingPart";
      return;
    case unreadablePart:
      *out << "unreadablePart";
      return;
    case crcMismatch:
      *out << "crcMismatch";
      return;
    case partTooLarge:
      *out << "partTooLarge";
      return;
    case xmlParserSetup:
      *out << "xmlParserSetup";
      return;
    case notWellFormed:
      *out << "notWellFormed";
      return;
    case documentType:
      *out << "documentType";
      return;
    case entityDeclaration:
      *out << "entityDeclaration";
      return;
    case badAttribute:
      *out << "badAttribute";
      return;
    case badRelationship:
      *out << "badRelationship";
      return;
    case outsidePackage:
      *out << "outsidePackage";
      return;
  }
  *out << "kind " << static_cast<int>(kind);
}

inline void PrintTo(const XlsxError& error, std::ostream* out) {
  PrintTo(error.kind(), out);
  *out << " in \"" << error.part() << "\": " << error.what();
}

inline ::testing::Matcher<const XlsxError&> IsXlsxError(XlsxError::Kind kind, const std::string& part) {
  return ::testing::AllOf(::testing::Property("kind", &XlsxError::kind, kind),
                          ::testing::Property("part", &XlsxError::part, part));
}

}  // namespace kelmora::xlsx
