#pragma once
// Raw score to scaled score with one band's norm table.

#include <cstdint>
#include <optional>
#include <string_view>

#include "norms/norm_tables.h"

namespace kelmora {

// The scaled score of the first row of `category` in band `inTable` of
// rangetables() whose bounds hold `value`. Every examined row writes its trace
// lines; an unknown band or code gives no value and writes nothing.
std::optional<std::int64_t> lookupValue(std::string_view inTable, std::string_view category, std::int64_t value);

// The same search over other tables (tests give it tables of their own).
std::optional<std::int64_t> lookupValue(const NormTableMap& tables, std::string_view inTable, std::string_view category,
                                        std::int64_t value);

}  // namespace kelmora
