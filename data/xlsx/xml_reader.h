#pragma once
// Streaming XML over expat, for the parts of a package.

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace kelmora::xlsx {

class ZipPackage;

// The attributes of one start tag. Names arrive as "namespace|local" when the
// attribute has a namespace, as "local" otherwise.
class XmlAttributes {
 public:
  explicit XmlAttributes(const char** pairs) : pairs_(pairs) {}
  // The value of the attribute without a namespace of this local name.
  const char* find(std::string_view localName) const;
  // The value of the attribute of this local name in this namespace.
  const char* find(std::string_view namespaceUri, std::string_view localName) const;

 private:
  const char** pairs_;
};

// Receives the events of one part. Element names are local names (the
// namespace is dropped): SpreadsheetML parts do not mix vocabularies that
// share local names where kelmora looks. Exceptions thrown by a handler stop
// the parse and leave readXmlPart.
class XmlHandler {
 public:
  virtual ~XmlHandler() = default;

  // What the reader calls: each keeps the path of open elements, then hands
  // the event on.
  void start(std::string_view localName, const XmlAttributes& attributes) {
    open_.emplace_back(localName);
    startElement(localName, attributes);
  }
  void end(std::string_view localName) {
    endElement(localName);
    open_.pop_back();
  }
  void text(std::string_view text) { characters(text); }

 protected:
  // Whether the elements open below the part's root are exactly these, the
  // innermost (the one being started, ended or read) last: inside
  // <workbook><sheets><sheet>, at({"sheets", "sheet"}) holds.
  bool at(std::initializer_list<std::string_view> path) const;

  virtual void startElement(std::string_view localName, const XmlAttributes& attributes) = 0;
  virtual void endElement(std::string_view) {}
  virtual void characters(std::string_view) {}

 private:
  std::vector<std::string> open_;  // local names, the part's root first
};

// Parses the whole part, start to end, so that a part that is broken anywhere
// is a failure. A part that carries a document type declaration is refused:
// the package format forbids DTDs, and refusing them means no entity is ever
// expanded or fetched. Throws XlsxError naming the part.
void readXmlPart(const ZipPackage& package, std::string_view partName, XmlHandler& handler);

// The local name of an expanded "namespace|local" name.
std::string_view localNameOf(std::string_view expandedName);

}  // namespace kelmora::xlsx
