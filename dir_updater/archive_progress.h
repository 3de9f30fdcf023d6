// How far the archive of the old installation is, as a share of the installation's bytes in
// percent, reported only when the figure changes.
#pragma once

#include <cstdint>
#include <functional>

namespace qnd::dir {

class ArchiveProgress {
 public:
  using Report = std::function<void(int percent)>;

  /// Reports 0 at once, while the total is not known yet; `report` may be empty.
  explicit ArchiveProgress(Report report);

  /// The bytes of the whole installation.
  void SetTotal(std::uint64_t total) { total_ = total; }
  /// `bytes` more are in the archive; a file that grew while it was read may pass the total, which
  /// still counts as 100.
  void Add(std::uint64_t bytes);
  /// Everything is in the archive.
  void Complete() { Show(100); }

 private:
  void Show(int percent);

  Report report_;
  std::uint64_t total_ = 0;
  std::uint64_t done_ = 0;
  int shown_ = -1;
};

}  // namespace qnd::dir
