#include "app/pdf_view.h"

#include <utility>

#include <QTimer>

namespace kelmora {

PDFView::PDFView(std::shared_ptr<SharedData> sharedData, ScoringRun scoringRun, QWidget* parent)
    : QWidget(parent), sharedData_(std::move(sharedData)), scoringRun_(std::move(scoringRun)) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  subscription_ = sharedData_->objectWillChange.subscribe([this] { scheduleRun(); });
  scheduleRun();
}

// The store announces a change before it makes it, so the run waits for the
// event loop: it then sees the new map, never the old one. Announcements that
// arrive while a run is pending (the placement and the load that caused it,
// say) share that one run, which reads the store as it stands by then.
void PDFView::scheduleRun() {
  if (runPending_) return;
  runPending_ = true;
  QTimer::singleShot(0, this, [this] {
    runPending_ = false;
    scoringRun_(*sharedData_);
  });
}

}  // namespace kelmora
