// An UpdaterWindow for tests: the recording user interface plus the window's own operations, which
// are recorded in the same ordered list of events as text ("ClientHeight=134").
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/ui.h"
#include "tests/support/recording_ui.h"

namespace qnd::test {

class RecordingWindow : public platform::UpdaterWindow {
 public:
  void AppendLogLine(const std::string& text) override { ui.AppendLogLine(text); }
  void SetStatusText(const std::string& text) override { ui.SetStatusText(text); }
  void PaintStatusText(const std::string& text) override { ui.PaintStatusText(text); }
  void ShowErrorBox(const std::string& title, const std::string& text) override {
    ui.ShowErrorBox(title, text);
  }
  bool AskYesNo(const std::string& title, const std::string& text) override {
    return ui.AskYesNo(title, text);
  }
  void ProcessPendingEvents() override;
  void Pause(int milliseconds) override { ui.Pause(milliseconds); }
  [[noreturn]] void EndProcess(int code) override { ui.EndProcess(code); }

  void BringToFront() override { Note("BringToFront"); }
  void ClearLog() override { Note("ClearLog"); }
  void SetLogPaneVisible(bool visible) override { Note(visible ? "ShowLog" : "HideLog"); }
  void SetLogPaneHeight(int height) override { Note("LogHeight=" + std::to_string(height)); }
  void SetOuterHeight(int height) override { Note("OuterHeight=" + std::to_string(height)); }
  void SetClientHeight(int height) override;
  int ClientHeight() override { return clientHeight; }
  void FocusWeiter() override { Note("FocusWeiter"); }
  void SetWeiterEnabled(bool enabled) override { Note(enabled ? "EnableWeiter" : "DisableWeiter"); }
  void ShowBusyCursor() override { Note("BusyCursor"); }
  void RestoreCursor() override { Note("RestoreCursor"); }
  void* NativeHandle() override { return nativeHandle; }

  /// Runs once at the next event processing, as a user's action handled there would.
  void AtNextPump(std::function<void()> action) { pending_.push_back(std::move(action)); }
  /// The window operations in order, without the progress-log events.
  const std::vector<std::string>& Notes() const { return notes_; }

  RecordingUi ui;
  /// No window of the system by default, so the system's shell shows its windows without owner.
  void* nativeHandle = nullptr;
  int clientHeight = 301;

 private:
  void Note(const std::string& note) { notes_.push_back(note); }

  std::vector<std::string> notes_;
  std::vector<std::function<void()>> pending_;
};

}  // namespace qnd::test
