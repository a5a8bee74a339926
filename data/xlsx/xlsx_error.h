#pragma once
// The one kind of error the workbook reader raises.

#include <stdexcept>
#include <string>
#include <utility>

namespace kelmora::xlsx {

// A reading failure. The description names the part it concerns, so that the
// import's single error line tells the user where the workbook is broken;
// kind() and part() say the same for code, which should not parse the text.
class XlsxError : public std::runtime_error {
 public:
  enum class Kind {
    missingPart,        // the package holds no part of that name
    unreadablePart,     // libzip cannot open or inflate the part
    crcMismatch,        // the inflated bytes fail the entry's checksum
    partTooLarge,       // the part inflates beyond the size cap
    xmlParserSetup,     // expat could not be set up for the part
    notWellFormed,      // expat refuses the part's XML
    documentType,       // the part carries a DOCTYPE
    entityDeclaration,  // the part declares an entity
    badAttribute,       // an attribute the reader uses holds a value it cannot take
    badRelationship,    // a relationship lacks its Id, Type or Target
    outsidePackage,     // a relationship target or path leaves the package
  };

  // `part` is the part the description names; `description` is what() as
  // the user reads it.
  XlsxError(Kind kind, std::string part, const std::string& description)
      : std::runtime_error(description), kind_(kind), part_(std::move(part)) {}

  Kind kind() const noexcept { return kind_; }
  const std::string& part() const noexcept { return part_; }

 private:
  Kind kind_;
  std::string part_;
};

}  // namespace kelmora::xlsx
