#include "dir_updater/step_progress.h"

#include <algorithm>

namespace qnd::dir {

StepProgress::StepProgress(Report report) : report_(std::move(report)) { Show(0); }

void StepProgress::BeginStage(int endPercent, std::uint64_t total) {
  begin_ = end_;
  end_ = std::max(begin_, endPercent);
  total_ = total;
  done_ = 0;
}

void StepProgress::SetDone(std::uint64_t done) {
  done_ = done;
  if (total_ == 0) return;
  const std::uint64_t share = std::min(done_, total_) * static_cast<std::uint64_t>(end_ - begin_);
  Show(begin_ + static_cast<int>(share / total_));
}

void StepProgress::Show(int percent) {
  // A stage that begins where the figure stands, or a rounding, never moves the bar back.
  if (percent <= shown_) return;
  shown_ = percent;
  if (report_) report_(percent);
}

}  // namespace qnd::dir
