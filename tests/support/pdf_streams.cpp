#include "support/pdf_streams.h"

#include <zlib.h>

namespace kelmora::testing {
namespace {

std::optional<std::string> inflated(std::string_view bytes) {
  z_stream zip{};
  if (inflateInit(&zip) != Z_OK) return std::nullopt;
  zip.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  zip.avail_in = static_cast<uInt>(bytes.size());
  std::string out;
  char buffer[65536];
  int status = Z_OK;
  while (status == Z_OK) {
    zip.next_out = reinterpret_cast<Bytef*>(buffer);
    zip.avail_out = sizeof buffer;
    status = inflate(&zip, Z_NO_FLUSH);
    out.append(buffer, sizeof buffer - zip.avail_out);
  }
  inflateEnd(&zip);
  if (status != Z_STREAM_END) return std::nullopt;
  return out;
}

}  // namespace

std::vector<PdfStream> streamsOf(std::string_view document) {
  std::vector<PdfStream> streams;
  for (std::size_t at = document.find("stream"); at != std::string_view::npos; at = document.find("stream", at + 1)) {
    if (at >= 3 && document.substr(at - 3, 3) == "end") continue;
    std::size_t start = at + 6;
    if (document.substr(start, 2) == "\r\n") {
      start += 2;
    } else if (document.substr(start, 1) == "\n") {
      start += 1;
    } else {
      continue;
    }
    const std::size_t object = document.rfind(" obj", at);
    PdfStream stream;
    stream.dictionary = object == std::string_view::npos ? std::string_view() : document.substr(object, at - object);
    stream.deflated = stream.dictionary.find("/FlateDecode") != std::string_view::npos;
    if (stream.deflated) stream.content = inflated(document.substr(start));
    streams.push_back(stream);
  }
  return streams;
}

bool holdsOperators(const PdfStream& stream) {
  return stream.deflated && stream.dictionary.find("/Subtype") == std::string_view::npos &&
         stream.dictionary.find("/Length1") == std::string_view::npos;
}

}  // namespace kelmora::testing
