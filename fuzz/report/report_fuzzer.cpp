// Sends arbitrary client data through the whole scoring run into a real PDF,
// then reads the page's content streams back: every token must be one that a
// PDF reader accepts, so a value that Qt cannot write (a coordinate out of its
// range, say) shows up as a crash here rather than as a page that silently
// loses what was drawn after it.
//
// The input is lines of "key=value" laid over the sample client; a line
// without "=" removes that key.

#include <QGuiApplication>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "base/diagnostics.h"
#include "base/file_reading.h"
#include "base/resource_folder.h"
#include "norms/conversion_tables.h"
#include "platform/image.h"
#include "platform/pdf_context.h"
#include "report/scoring_run.h"
#include "support/pdf_reading.h"
#include "support/scratch_folder.h"
#include "tools/sample_client/sample_client.h"

namespace {

kelmora::ExcelData clientFrom(std::string_view input) {
  kelmora::ExcelData data = kelmora::sampleClient();
  while (!input.empty()) {
    const std::size_t end = std::min(input.find('\n'), input.size());
    const std::string_view line = input.substr(0, end);
    input.remove_prefix(std::min(end + 1, input.size()));
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      data.erase(std::string(line));
    } else {
      data[std::string(line.substr(0, equals))] = std::string(line.substr(equals + 1));
    }
  }
  return data;
}

[[noreturn]] void fail(const char* what, std::string_view near) {
  std::fprintf(stderr, "report fuzzer: %s near \"%.*s\"\n", what,
               static_cast<int>(std::min<std::size_t>(near.size(), 60)), near.data());
  std::abort();
}

bool isDelimiter(char c) {
  return c == '(' || c == ')' || c == '<' || c == '>' || c == '[' || c == ']' || c == '/' || c == '{' || c == '}' ||
         c == '%';
}
bool isSpace(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0'; }

// A content stream's tokens: numbers, names, strings, arrays and operators.
void checkContent(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size()) {
    const char c = text[at];
    if (isSpace(c) || c == '[' || c == ']' || c == '{' || c == '}') {
      ++at;
    } else if (text.substr(at, 2) == "<<" || text.substr(at, 2) == ">>") {
      at += 2;
    } else if (c == '(') {
      int depth = 0;
      for (; at < text.size(); ++at) {
        if (text[at] == '\\') ++at;
        else if (text[at] == '(') ++depth;
        else if (text[at] == ')' && --depth == 0) break;
      }
      if (at >= text.size()) fail("an unterminated string", text.substr(text.size() - 1));
      ++at;
    } else if (c == '<') {
      const std::size_t close = text.find('>', at);
      if (close == std::string_view::npos) fail("an unterminated hex string", text.substr(at));
      for (std::size_t i = at + 1; i < close; ++i)
        if (!std::isxdigit(static_cast<unsigned char>(text[i])) && !isSpace(text[i]))
          fail("a bad hex string", text.substr(at));
      at = close + 1;
    } else {
      std::size_t end = at + 1;
      while (end < text.size() && !isSpace(text[end]) && !isDelimiter(text[end])) ++end;
      const std::string_view token = text.substr(at, end - at);
      if (token.front() == '/') {
        // a name
      } else if (std::isalpha(static_cast<unsigned char>(token.front())) || token == "'" || token == "\"") {
        for (char t : token)
          if (!std::isalpha(static_cast<unsigned char>(t)) && t != '*' && t != '0' && t != '1')
            fail("a bad operator", token);
      } else {
        // A number: an optional sign, digits with at most one point, and a
        // size a page can mean.
        std::size_t i = token.front() == '+' || token.front() == '-' ? 1 : 0;
        bool digits = false, point = false;
        for (; i < token.size(); ++i) {
          if (std::isdigit(static_cast<unsigned char>(token[i]))) digits = true;
          else if (token[i] == '.' && !point) point = true;
          else fail("a bad number", token);
        }
        if (!digits) fail("a number without digits", token);
        if (std::abs(std::strtod(std::string(token).c_str(), nullptr)) > 1e7) fail("a number off every page", token);
      }
      at = end;
    }
  }
}

// Every stream of drawing operators in the document.
void checkDocument(const std::string& document) {
  for (const auto& stream : kelmora::testing::operatorStreams(document)) {
    if (!stream) fail("a stream that does not inflate", document);
    checkContent(*stream);
  }
}

struct Setting {
  kelmora::testing::ScratchFolder folder{kelmora::testing::ScratchFolder::asWorkingDirectory};
  std::optional<kelmora::platform::Image> background;
};

Setting* setting = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  // Text is set and measured with the report's font: the offscreen platform has it.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QGuiApplication application(*argc, *argv);
  kelmora::bundle::setResourceDirectory(KELMORA_FUZZ_RESOURCES);
  {
    kelmora::OutputCapture quiet;
    kelmora::loadTables();
  }
  setting = new Setting;
  setting->background = kelmora::platform::namedImage("wais-iv");
  if (!setting->background) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kelmora::SharedData store;
  store.setExcelData(clientFrom(std::string_view(reinterpret_cast<const char*>(data), size)));
  const kelmora::ReportServices services{
      [] { return setting->background; },
      [](const std::filesystem::path& file,
         std::string& reason) -> std::unique_ptr<kelmora::platform::DocumentContext> {
        return kelmora::platform::PdfContext::create(file, reason);
      },
      [](const std::filesystem::path&) {},
  };
  {
    kelmora::OutputCapture quiet;
    kelmora::performScoringRun(store, services);
  }
  if (!std::filesystem::exists(kelmora::reportFile)) return 0;  // a run that ends without a report
  const auto document = kelmora::readWholeFile(kelmora::reportFile);
  if (!std::holds_alternative<std::string>(document)) std::abort();
  checkDocument(std::get<std::string>(document));
  std::filesystem::remove(kelmora::reportFile);
  return 0;
}
