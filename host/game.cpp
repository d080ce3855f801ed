// The platform-neutral host game object: flags, the forwarders that hand every host event to
// the delegate, the clock and date, and the end of the run on an escaped exception.
#include "host/game.h"

// <ctime> for the local date.
#include <cstdlib>
#include <ctime>

#include "runtime/errors.h"
#include "runtime/gc.h"

// ---------------------------------------------------------------------------------------------
// Types

namespace {

// Counts a forwarder as running for its whole extent, also when the delegate throws
// something that is not a runtime exception and the forwarder unwinds.
class NxEventScope {
 public:
  explicit NxEventScope(int& depth) : depth_(depth) { ++depth_; }
  NxEventScope(const NxEventScope&) = delete;
  NxEventScope& operator=(const NxEventScope&) = delete;
  ~NxEventScope() { --depth_; }

 private:
  int& depth_;
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// Globals

NxGame* NxGame::_game = nullptr;

// ---------------------------------------------------------------------------------------------
// Internal functions

namespace {

// Hands one event to the delegate; an escaped runtime exception ends the run. The collector
// steps afterwards unless this event arrived while another was being delivered (a window
// reopened from inside an update forwards key releases), whose objects may live only on the
// stack.
template <class Call>
void nx_game_Forward(NxGame& game, NxGameDelegate* delegate, int& depth, Call call) {
  {
    NxEventScope scope(depth);
    if (delegate != nullptr) {
      try {
        call(delegate);
      } catch (ThrowableObject* exception) {
        game.Die(exception);
      }
    }
  }
  if (depth == 0) game.gc_collect();
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

NxGame::NxGame() {
  _game = this;
}

NxGame::~NxGame() {
  if (_game == this) _game = nullptr;
}

void NxGame::SetDelegate(NxGameDelegate* delegate) {
  _delegate = delegate;
}
NxGameDelegate* NxGame::Delegate() {
  return _delegate;
}
void NxGame::SetKeyboardEnabled(bool enabled) {
  _keyboardEnabled = enabled;
}
bool NxGame::KeyboardEnabled() {
  return _keyboardEnabled;
}
void NxGame::SetUpdateRate(int hertz) {
  _updateRate = hertz;
}
int NxGame::UpdateRate() {
  return _updateRate;
}
bool NxGame::Started() {
  return _started;
}
bool NxGame::Suspended() {
  return _suspended;
}
int NxGame::Millisecs() {
  return 0;
}

void NxGame::GetDate(Array<int> date) {
  int count = date.Length();
  if (count == 0) return;
  std::time_t now = std::time(nullptr);
  std::tm local{};
  if (localtime_r(&now, &local) == nullptr) return;
  const int fields[7] = {local.tm_year + 1900,
                         local.tm_mon + 1,
                         local.tm_mday,
                         local.tm_hour,
                         local.tm_min,
                         local.tm_sec,
                         0};
  for (int i = 0; i < count && i < 7; ++i) date[i] = fields[i];
}

bool NxGame::PollJoystick(int, Array<float>, Array<float>, Array<float>, Array<bool>) {
  return false;
}

void NxGame::OpenUrl(String) {}
void NxGame::SetMouseVisible(bool) {}
bool NxGame::CanQuit() {
  return true;
}
String NxGame::PathToFilePath(String path) {
  return path;
}

void NxGame::Die(ThrowableObject*) {
  nxPrint(String(u"Zarnik Runtime Error : Uncaught Zarnik Exception"));
  std::exit(-1);
}

void NxGame::gc_collect() {
  if (_delegate != nullptr) gc_mark_now(_delegate);
  ::gc_collect();
}

void NxGame::StartGame() {
  if (_started) return;
  _started = true;
  nx_game_Forward(*this, _delegate, _eventDepth, [](NxGameDelegate* d) { d->StartGame(); });
}

void NxGame::SuspendGame() {
  if (!_started || _suspended) return;
  _suspended = true;
  nx_game_Forward(*this, _delegate, _eventDepth, [](NxGameDelegate* d) { d->SuspendGame(); });
}

void NxGame::ResumeGame() {
  if (!_started || !_suspended) return;
  _suspended = false;
  nx_game_Forward(*this, _delegate, _eventDepth, [](NxGameDelegate* d) { d->ResumeGame(); });
}

void NxGame::UpdateGame() {
  if (!_started || _suspended) return;
  nx_game_Forward(*this, _delegate, _eventDepth, [](NxGameDelegate* d) { d->UpdateGame(); });
}

void NxGame::RenderGame() {
  if (!_started) return;
  nx_game_Forward(*this, _delegate, _eventDepth, [](NxGameDelegate* d) { d->RenderGame(); });
}

void NxGame::KeyEvent(int event, int data) {
  if (!_started) return;
  nx_game_Forward(*this, _delegate, _eventDepth,
                  [&](NxGameDelegate* d) { d->KeyEvent(event, data); });
}

void NxGame::MouseEvent(int event, int data, float x, float y) {
  if (!_started) return;
  nx_game_Forward(*this, _delegate, _eventDepth,
                  [&](NxGameDelegate* d) { d->MouseEvent(event, data, x, y); });
}

void NxGame::TouchEvent(int event, int data, float x, float y) {
  if (!_started) return;
  nx_game_Forward(*this, _delegate, _eventDepth,
                  [&](NxGameDelegate* d) { d->TouchEvent(event, data, x, y); });
}

void NxGame::MotionEvent(int event, int data, float x, float y, float z) {
  if (!_started) return;
  nx_game_Forward(*this, _delegate, _eventDepth,
                  [&](NxGameDelegate* d) { d->MotionEvent(event, data, x, y, z); });
}

void NxGame::DiscardGraphics() {
  if (!_started) return;
  nx_game_Forward(*this, _delegate, _eventDepth, [](NxGameDelegate* d) { d->DiscardGraphics(); });
}
