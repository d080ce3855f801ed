// The main loop's view of the clock and the window: the GLFW host answers with the real
// ones, tests with a fake clock and fake window state.
#pragma once

// ---------------------------------------------------------------------------------------------
// Types

class NxLoopPlatform {
 public:
  virtual ~NxLoopPlatform() = default;

  // Seconds on the host clock, which starts at glfwInit.
  virtual double Time() = 0;
  // Delivers pending events (the input callbacks run inside) without waiting.
  virtual void PollEvents() = 0;
  // Blocks until at least one event has arrived, then delivers the pending ones.
  virtual void WaitEvents() = 0;
  // Sleeps without delivering events.
  virtual void Sleep(double seconds) = 0;
  virtual bool WindowOpen() = 0;
  virtual bool WindowIconified() = 0;
  virtual bool WindowFocused() = 0;
};
