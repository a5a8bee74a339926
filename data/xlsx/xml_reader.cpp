#include "data/xlsx/xml_reader.h"

#include <algorithm>

#include <expat.h>

#include <climits>
#include <exception>
#include <functional>
#include <memory>

#include "data/xlsx/xlsx_error.h"
#include "data/xlsx/zip_package.h"

namespace kelmora::xlsx {
namespace {

constexpr char namespaceSeparator = '|';

struct ParserDeleter {
  void operator()(XML_ParserStruct* parser) const { XML_ParserFree(parser); }
};

// One parse of one part: owns the expat parser and carries the first failure
// out of the callbacks, which must not unwind through expat's C frames.
class Session {
 public:
  Session(std::string_view partName, XmlHandler& handler) : partName_(partName), handler_(handler) {
    parser_.reset(XML_ParserCreateNS(nullptr, namespaceSeparator));
    if (!parser_) {
      throw XlsxError(XlsxError::Kind::xmlParserSetup, partName_, partName_ + ": the XML parser cannot be set up");
    }
    XML_SetUserData(parser_.get(), this);
    XML_SetElementHandler(parser_.get(), &Session::onStart, &Session::onEnd);
    XML_SetCharacterDataHandler(parser_.get(), &Session::onCharacters);
    XML_SetStartDoctypeDeclHandler(parser_.get(), &Session::onDoctype);
    XML_SetEntityDeclHandler(parser_.get(), &Session::onEntityDecl);
    XML_SetParamEntityParsing(parser_.get(), XML_PARAM_ENTITY_PARSING_NEVER);
  }

  void feed(std::string_view chunk, bool last) {
    while (chunk.size() > static_cast<std::size_t>(INT_MAX)) {
      feedOnce(chunk.substr(0, INT_MAX), false);
      chunk.remove_prefix(INT_MAX);
    }
    feedOnce(chunk, last);
  }

 private:
  void feedOnce(std::string_view chunk, bool last) {
    const XML_Status status =
        XML_Parse(parser_.get(), chunk.data(), static_cast<int>(chunk.size()), last ? XML_TRUE : XML_FALSE);
    if (failure_) std::rethrow_exception(failure_);
    if (status != XML_STATUS_OK) {
      const XML_Error code = XML_GetErrorCode(parser_.get());
      const char* text = XML_ErrorString(code);
      throw XlsxError(XlsxError::Kind::notWellFormed, partName_,
                      partName_ + ": the XML is not well-formed (" + (text ? text : "unknown error") + ") at line " +
                          std::to_string(XML_GetCurrentLineNumber(parser_.get())) + ", column " +
                          std::to_string(XML_GetCurrentColumnNumber(parser_.get())));
    }
  }

  void stop(std::exception_ptr failure) {
    if (!failure_) failure_ = std::move(failure);
    XML_StopParser(parser_.get(), XML_FALSE);
  }

  template <class Action>
  static void guarded(void* data, Action action) {
    auto* self = static_cast<Session*>(data);
    if (self->failure_) return;
    try {
      action(*self);
    } catch (...) {
      self->stop(std::current_exception());
    }
  }

  static void XMLCALL onStart(void* data, const XML_Char* name, const XML_Char** attributes) {
    guarded(data, [&](Session& self) { self.handler_.start(localNameOf(name), XmlAttributes(attributes)); });
  }
  static void XMLCALL onEnd(void* data, const XML_Char* name) {
    guarded(data, [&](Session& self) { self.handler_.end(localNameOf(name)); });
  }
  static void XMLCALL onCharacters(void* data, const XML_Char* text, int length) {
    guarded(data, [&](Session& self) { self.handler_.text(std::string_view(text, static_cast<std::size_t>(length))); });
  }
  static void XMLCALL onDoctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
    guarded(data, [](Session& self) {
      throw XlsxError(XlsxError::Kind::documentType, self.partName_,
                      self.partName_ + ": the part carries a document type declaration, which a package must not");
    });
  }
  static void XMLCALL onEntityDecl(void* data, const XML_Char*, int, const XML_Char*, int, const XML_Char*,
                                   const XML_Char*, const XML_Char*, const XML_Char*) {
    guarded(data, [](Session& self) {
      throw XlsxError(XlsxError::Kind::entityDeclaration, self.partName_,
                      self.partName_ + ": the part declares an entity, which a package must not");
    });
  }

  std::string partName_;
  XmlHandler& handler_;
  std::unique_ptr<XML_ParserStruct, ParserDeleter> parser_;
  std::exception_ptr failure_;
};

bool sameName(const char* expanded, std::string_view namespaceUri, std::string_view localName) {
  const std::string_view name(expanded);
  const auto separator = name.find(namespaceSeparator);
  if (separator == std::string_view::npos) return namespaceUri.empty() && name == localName;
  return name.substr(0, separator) == namespaceUri && name.substr(separator + 1) == localName;
}

}  // namespace

std::string_view localNameOf(std::string_view expandedName) {
  const auto separator = expandedName.rfind(namespaceSeparator);
  return separator == std::string_view::npos ? expandedName : expandedName.substr(separator + 1);
}

const char* XmlAttributes::find(std::string_view localName) const { return find({}, localName); }

const char* XmlAttributes::find(std::string_view namespaceUri, std::string_view localName) const {
  for (const char** pair = pairs_; pair && pair[0]; pair += 2) {
    if (sameName(pair[0], namespaceUri, localName)) return pair[1];
  }
  return nullptr;
}

bool XmlHandler::at(std::initializer_list<std::string_view> path) const {
  return open_.size() == path.size() + 1 && std::equal(path.begin(), path.end(), open_.begin() + 1);
}

void readXmlPart(const ZipPackage& package, std::string_view partName, XmlHandler& handler) {
  Session session(partName, handler);
  package.readPart(partName, [&](std::string_view chunk) { session.feed(chunk, false); });
  session.feed({}, true);
}

}  // namespace kelmora::xlsx
