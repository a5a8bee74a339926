#pragma once
// The report view: a blank widget in the main window whose only work is the
// scoring run over the window's store.

#include <functional>
#include <memory>

#include <QWidget>

#include "data/shared_data.h"

namespace kelmora {

using ScoringRun = std::function<void(const SharedData&)>;

class PDFView : public QWidget {
 public:
  // Observes the window's store (it never changes it). A run is due as soon
  // as the view is put in place, and again after every change the store
  // announces; the window's content gives the run.
  explicit PDFView(std::shared_ptr<SharedData> sharedData, ScoringRun scoringRun, QWidget* parent = nullptr);

  const std::shared_ptr<SharedData>& sharedData() const { return sharedData_; }

 private:
  void scheduleRun();

  std::shared_ptr<SharedData> sharedData_;
  ScoringRun scoringRun_;
  Signal<>::Subscription subscription_;
  bool runPending_ = false;
};

}  // namespace kelmora
