#include "fuzz/data/parts_form.h"

#include <zip.h>

#include <algorithm>
#include <stdexcept>

namespace kelmora::fuzz {

std::string packParts(std::string_view text) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
  zip_error_fini(&error);
  if (!buffer) return {};
  zip_source_keep(buffer);
  zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, nullptr);
  if (!archive) {
    zip_source_free(buffer);
    zip_source_free(buffer);
    return {};
  }
  while (!text.empty()) {
    const auto end = std::min(text.find('\0'), text.size());
    const std::string_view part = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    const auto newline = part.find('\n');
    if (newline == std::string_view::npos || newline == 0) continue;
    const std::string name(part.substr(0, newline));
    const std::string_view content = part.substr(newline + 1);
    zip_source_t* source = zip_source_buffer(archive, content.data(), content.size(), 0);
    if (!source) continue;
    const zip_int64_t index = zip_file_add(archive, name.c_str(), source, ZIP_FL_OVERWRITE);
    if (index < 0) {
      zip_source_free(source);
      continue;
    }
    zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
  }
  std::string bytes;
  if (zip_close(archive) != 0) {
    zip_discard(archive);
  } else if (zip_source_open(buffer) == 0) {
    char chunk[4096];
    zip_int64_t count;
    while ((count = zip_source_read(buffer, chunk, sizeof chunk)) > 0)
      bytes.append(chunk, static_cast<std::size_t>(count));
    zip_source_close(buffer);
  }
  zip_source_free(buffer);
  return bytes;
}

std::string partsForm(const std::vector<NamedPart>& parts) {
  std::string form = "\x01";
  for (const auto& part : parts) {
    if (part.name.empty() || part.name.find_first_of(std::string_view("\n\0", 2)) != std::string::npos ||
        part.content.find('\0') != std::string::npos) {
      throw std::invalid_argument("the parts form cannot carry the part " + part.name);
    }
    if (form.size() > 1) form += '\0';
    form += part.name + "\n" + part.content;
  }
  return form;
}

}  // namespace kelmora::fuzz
