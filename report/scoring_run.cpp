#include "report/scoring_run.h"

namespace kelmora {

void performScoringRun(const SharedData&) {}

}  // namespace kelmora
