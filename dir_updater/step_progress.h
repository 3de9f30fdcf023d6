// How far a long step is, in percent, reported only when the figure changes. The step runs in
// stages, each with its share of the bar and counted by its own bytes, so the bar moves through
// stages of different kinds of work until the step ends.
#pragma once

#include <cstdint>
#include <functional>

namespace qnd::dir {

class StepProgress {
 public:
  using Report = std::function<void(int percent)>;

  /// Reports 0 at once; `report` may be empty.
  explicit StepProgress(Report report);

  /// The next stage: it runs from where the last one ended up to `endPercent` and counts `total`
  /// bytes, which may be set later while nothing is counted yet.
  void BeginStage(int endPercent, std::uint64_t total = 0);
  void SetTotal(std::uint64_t total) { total_ = total; }
  std::uint64_t StageTotal() const { return total_; }
  /// `bytes` more of the stage are done; more than its total (a file that grew while it was read)
  /// still counts as the stage's end.
  void Add(std::uint64_t bytes) { SetDone(done_ + bytes); }
  /// `done` bytes of the stage are done in all.
  void SetDone(std::uint64_t done);
  /// The stage is done: shows its end.
  void EndStage() { Show(end_); }

 private:
  void Show(int percent);

  Report report_;
  int begin_ = 0;
  int end_ = 0;
  std::uint64_t total_ = 0;
  std::uint64_t done_ = 0;
  int shown_ = -1;
};

}  // namespace qnd::dir
