#pragma once
// The sample client: a complete workbook's values, the client whose report
// the report tests check, the benchmark times and the record form's preview
// shows.

#include "data/shared_data.h"

namespace kelmora {

// Kari Nordmann, born 15-03-1985, tested 10-06-2024 (39 years, 2 months, 26
// days), a woman ("K"), left-handed ("V"), every core raw score 20 and the
// five supplementary scaled scores.
ExcelData sampleClient();

}  // namespace kelmora
