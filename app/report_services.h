#pragma once
// The scoring run's services as the program has them.

#include "report/scoring_run.h"

namespace kelmora {

// The background is the named image "wais-iv", the document a PDF file, and
// the finished file goes to the desktop's viewer.
ReportServices productionServices();

}  // namespace kelmora
