// A delegate that writes every host event it receives into a log, and a host that counts
// its collector steps, for the host's tests.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/glfw_game.h"
#include "runtime/gc.h"

// ---------------------------------------------------------------------------------------------
// Types

// The log lives outside the collected delegate so it survives whatever the collector does.
struct RecordedEvents {
  std::vector<std::string> entries;
  std::function<void()> onUpdate;
  std::function<void()> onRender;
};

class RecordingDelegate : public NxGameDelegate {
 public:
  explicit RecordingDelegate(RecordedEvents* events) : events_(events) {}

  void StartGame() override { Add("start"); }
  void SuspendGame() override { Add("suspend"); }
  void ResumeGame() override { Add("resume"); }
  void UpdateGame() override {
    Add("update");
    if (events_->onUpdate) events_->onUpdate();
  }
  void RenderGame() override {
    Add("render");
    if (events_->onRender) events_->onRender();
  }
  void KeyEvent(int event, int data) override {
    Add("key " + std::to_string(event) + " " + std::to_string(data));
  }
  void MouseEvent(int event, int data, float x, float y) override {
    Add("mouse " + std::to_string(event) + " " + std::to_string(data) + " " +
        std::to_string(static_cast<int>(x)) + " " + std::to_string(static_cast<int>(y)));
  }

 private:
  void Add(const std::string& entry) { events_->entries.push_back(entry); }
  RecordedEvents* events_;
};

// A GLFW host whose collector steps are counted instead of run, with its loop state visible.
class CountingHost : public NxGlfwGame {
 public:
  explicit CountingHost(RecordedEvents* events) { SetDelegate(gc_new<RecordingDelegate>(events)); }
  void gc_collect() override { ++collections; }

  double NextUpdate() const { return _nextUpdate; }
  void SetNextUpdate(double time) { _nextUpdate = time; }

  int collections = 0;
};
