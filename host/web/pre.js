// The page's side of the web host: the browser's persistent storage for the state file,
// mounted and read before the program starts; the page's focus and the events the loop waits
// for; fullscreen on the page's stage; touch screens reported to the program.
Module.nxPage = {
  focused: true,
  eventArrived: false,
  storageRefused: false,
  // The browser refuses storage (a private window, a full quota): the game plays on and says
  // so once.
  refuseStorage: function () {
    if (Module.nxPage.storageRefused) return;
    Module.nxPage.storageRefused = true;
    console.warn('This browser refuses to store data for this page: ' +
                 'settings, badges and scores will not be kept.');
  },
  // The save is complete in memory; this hands it to the browser's storage in one transaction,
  // so the stored copy is the previous save or this one. One hand-over at a time: a save made
  // meanwhile follows when the running one is done.
  flushing: false,
  flushAgain: false,
  flushSaves: function () {
    var page = Module.nxPage;
    if (page.storageRefused) return;
    if (page.flushing) {
      page.flushAgain = true;
      return;
    }
    page.flushing = true;
    FS.syncfs(false, function (error) {
      page.flushing = false;
      if (error) {
        page.refuseStorage();
      } else if (page.flushAgain) {
        page.flushAgain = false;
        page.flushSaves();
      }
    });
  },
  setFullscreen: function (on) {
    var stage = Module.canvas.parentNode;
    if (on && !document.fullscreenElement && stage.requestFullscreen) {
      stage.requestFullscreen().catch(function () { Module._nx_web_FullscreenLeft(); });
    } else if (!on && document.fullscreenElement) {
      document.exitFullscreen().catch(function () {});
    }
  },
  // A few fields of the running game (host/web/probe.cpp), for the console and the tests.
  probe: function () {
    return JSON.parse(UTF8ToString(Module._nx_web_Probe()));
  },
  touchScreen: window.matchMedia('(pointer: coarse)').matches,
  // The browser's GLFW makes the mouse of touches; on a touch screen the program takes them
  // as touches itself.
  takeTouches: function () {
    var handlers = {touchstart: GLFW.onMouseButtonDown, touchmove: GLFW.onMousemove,
                    touchend: GLFW.onMouseButtonUp, touchcancel: GLFW.onMouseButtonUp};
    for (var type in handlers) Module.canvas.removeEventListener(type, handlers[type], true);
  },
};

Module.preRun = Module.preRun || [];
Module.preRun.push(function () {
  FS.mkdir('/saves');
  FS.mount(IDBFS, {}, '/saves');
  addRunDependency('saves');
  FS.syncfs(true, function (error) {
    if (error) Module.nxPage.refuseStorage();
    removeRunDependency('saves');
  });
});

(function () {
  var page = Module.nxPage;
  var wake = function () { page.eventArrived = true; };
  var suspend = function () {
    wake();
    if (Module.calledRun) Module._nx_web_PageChanged();
  };
  ['keydown', 'keyup', 'mousedown', 'mouseup', 'mousemove', 'touchstart', 'touchmove',
   'touchend', 'wheel', 'resize', 'gamepadconnected', 'gamepaddisconnected'].forEach(
      function (type) { window.addEventListener(type, wake, true); });
  // Browsers start sound only from a gesture, and a touch that begins is not one everywhere:
  // every ended press tries again until the sound runs.
  var resumeSound = function () {
    var context = typeof AL !== 'undefined' && AL.currentCtx && AL.currentCtx.audioCtx;
    if (context && context.state !== 'running') context.resume();
  };
  ['keyup', 'mouseup', 'touchend', 'click'].forEach(
      function (type) { window.addEventListener(type, resumeSound, true); });
  window.addEventListener('focus', function () { page.focused = true; wake(); });
  window.addEventListener('blur', function () { page.focused = false; suspend(); });
  document.addEventListener('visibilitychange', suspend);
  // Fullscreen gets the screen's own resolution; the game lays itself out for it, as for a
  // fullscreen window on the desktop.
  document.addEventListener('fullscreenchange', function () {
    var on = document.fullscreenElement === Module.canvas.parentNode;
    var width = on ? Math.round(screen.width * devicePixelRatio) : 640;
    var height = on ? Math.round(screen.height * devicePixelRatio) : 480;
    Module.canvas.width = width;
    Module.canvas.height = height;
    if (GLFW.active) {
      GLFW.active.width = width;
      GLFW.active.height = height;
    }
    if (!on && Module.calledRun) Module._nx_web_FullscreenLeft();
    wake();
  });
})();
