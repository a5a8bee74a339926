#pragma once
// The scoring run: from a loaded store to the opened report "test.pdf".

#include "data/shared_data.h"

namespace kelmora {

// One complete run over the store's current data (the store is only read).
void performScoringRun(const SharedData& sharedData);

}  // namespace kelmora
