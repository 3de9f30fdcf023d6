#include "dir_updater/archive_progress.h"

#include <algorithm>

namespace qnd::dir {

ArchiveProgress::ArchiveProgress(Report report) : report_(std::move(report)) { Show(0); }

void ArchiveProgress::Add(std::uint64_t bytes) {
  done_ += bytes;
  if (total_ > 0) Show(static_cast<int>(std::min<std::uint64_t>(done_, total_) * 100 / total_));
}

void ArchiveProgress::Show(int percent) {
  if (percent == shown_) return;
  shown_ = percent;
  if (report_) report_(percent);
}

}  // namespace qnd::dir
