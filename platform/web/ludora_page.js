// The page side of the browser build (given to emcc with --pre-js): the
// canvas, the pointer and keys, Web Audio, the hand-over between the
// programs' pages and the saves kept in the browser's IndexedDB. The page
// that loads the program sets Module.ludora before this runs:
//   { exe: '/dist/Ludora', folder: '/dist', pages: { ludora: './', ... } }
// The program's threads load this file too; only the page's own copy acts.
if (typeof window !== 'undefined' && typeof document !== 'undefined') (function () {
  var canvas = document.getElementById('screen');
  var config = { exe: canvas.dataset.exe, pages: JSON.parse(canvas.dataset.pages) };
  var context = canvas.getContext('2d', { alpha: false });
  Module.canvas = canvas;
  Module.ludoraEvents = [];
  // What the page did, for the test and the bench: frames put on the canvas,
  // frames presented, animation frames waited for, rests of the program, and
  // the loudest sample (left channel) given to Web Audio.
  Module.ludoraStats = { started: performance.now(), firstFrame: 0, framesShown: 0, presents: 0,
                         refreshes: 0, rests: 0, audioBlocks: 0, audioPeak: 0 };
  var events = Module.ludoraEvents;
  var stats = Module.ludoraStats;

  // The arguments after the program name, joined as WinMain gets them.
  var query = new URLSearchParams(location.search);
  var args = query.get('args');
  // ?seed=N deals the boards a desktop run with LUDORA_SEED=N deals.
  var seed = query.get('seed');
  Module.arguments = args ? [args] : [];

  // ---- picture ----
  var scale = 1;
  function fit() {
    var w = canvas.width, h = canvas.height;
    scale = Math.max(1, Math.floor(Math.min(window.innerWidth / w, window.innerHeight / h)));
    canvas.style.width = w * scale + 'px';
    canvas.style.height = h * scale + 'px';
  }
  window.addEventListener('resize', fit);
  Module.ludoraShow = function (bytes, width, height) {
    if (canvas.width !== width || canvas.height !== height) {
      canvas.width = width;
      canvas.height = height;
      fit();
    }
    // The program's memory is shared with its threads; ImageData takes only
    // unshared bytes, hence the copy made by the caller.
    context.putImageData(new ImageData(new Uint8ClampedArray(bytes.buffer), width, height), 0, 0);
    if (!stats.framesShown++) stats.firstFrame = performance.now();
  };
  // A presented frame waits for the display's next refresh. After a changed
  // picture that is the next animation frame; a frame that changed nothing
  // waits as long on a timer instead, at the refresh period measured from
  // the animation frames, so a still screen keeps the browser's compositor
  // at rest. A hidden page gets no animation frames; the program still runs,
  // slowly, so it hears that it went to the background and comes back.
  var period = 1000 / 60, lastRefresh = 0, due = 0;
  Module.ludoraNextFrame = function (wakeUp, shown) {
    stats.presents++;
    wakeAudio();
    if (document.hidden) {
      setTimeout(wakeUp, 100);
    } else if (shown) {
      requestAnimationFrame(function (now) {
        stats.refreshes++;
        var since = now - lastRefresh;
        if (since > 2 && since < 1.5 * period) period += (since - period) / 8;
        due = lastRefresh = now;
        wakeUp();
      });
    } else {
      var now = performance.now();
      due = Math.max(due + period, now);
      setTimeout(wakeUp, due - now);
    }
  };
  // The program at rest: resumes at its next event, a wake from one of its
  // threads (ludoraRestEnd) or when `ms` are up, whichever comes first.
  var resting = null;
  Module.ludoraRest = function (wakeUp, ms) {
    stats.rests++;
    function done() {
      if (resting !== done) return;
      resting = null;
      clearTimeout(timer);
      wakeAudio();
      wakeUp();
    }
    var timer = setTimeout(done, ms);
    resting = done;
  };
  Module.ludoraRestEnd = function () {
    if (resting) Promise.resolve().then(resting);
  };
  Module.ludoraCursor = function (visible) { canvas.style.cursor = visible ? 'default' : 'none'; };

  // ---- input: the same events a desktop window gives ----
  // Each queued event ends the program's rest (after the handler, so the
  // program never runs inside one).
  function queue() {
    events.push.apply(events, arguments);
    Module.ludoraRestEnd();
  }
  function at(e) {
    var r = canvas.getBoundingClientRect();
    return [Math.floor((e.clientX - r.left) * canvas.width / r.width),
            Math.floor((e.clientY - r.top) * canvas.height / r.height)];
  }
  var buttons = { 0: 0, 2: 1, 1: 2, 3: 3 };
  canvas.addEventListener('pointermove', function (e) { var p = at(e); queue([1, p[0], p[1]]); });
  canvas.addEventListener('pointerdown', function (e) {
    startAudio();
    canvas.focus();
    if (!(e.button in buttons)) return;
    canvas.setPointerCapture(e.pointerId);
    var p = at(e);
    queue([1, p[0], p[1]], [2, buttons[e.button], 1]);
    e.preventDefault();
  });
  canvas.addEventListener('pointerup', function (e) {
    if (!(e.button in buttons)) return;
    var p = at(e);
    queue([1, p[0], p[1]], [2, buttons[e.button], 0]);
    e.preventDefault();
  });
  canvas.addEventListener('contextmenu', function (e) { e.preventDefault(); });
  // KeyboardEvent.code to DirectInput's key codes.
  var keys = { Escape: 1, Minus: 12, Equal: 13, Backspace: 14, Tab: 15, BracketLeft: 26,
    BracketRight: 27, Enter: 28, ControlLeft: 29, Semicolon: 39, Quote: 40, Backquote: 41,
    ShiftLeft: 42, Backslash: 43, Comma: 51, Period: 52, Slash: 53, ShiftRight: 54,
    NumpadMultiply: 55, AltLeft: 56, Space: 57, CapsLock: 58, NumLock: 69, ScrollLock: 70,
    Numpad7: 71, Numpad8: 72, Numpad9: 73, NumpadSubtract: 74, Numpad4: 75, Numpad5: 76,
    Numpad6: 77, NumpadAdd: 78, Numpad1: 79, Numpad2: 80, Numpad3: 81, Numpad0: 82,
    NumpadDecimal: 83, IntlBackslash: 86, F11: 87, F12: 88, NumpadEnter: 28, ControlRight: 157,
    NumpadDivide: 181, PrintScreen: 183, AltRight: 184, Pause: 197, Home: 199, ArrowUp: 200,
    PageUp: 201, ArrowLeft: 203, ArrowRight: 205, End: 207, ArrowDown: 208, PageDown: 209,
    Insert: 210, Delete: 211, MetaLeft: 219, MetaRight: 220, ContextMenu: 221 };
  'QWERTYUIOP'.split('').forEach(function (c, i) { keys['Key' + c] = 16 + i; });
  'ASDFGHJKL'.split('').forEach(function (c, i) { keys['Key' + c] = 30 + i; });
  'ZXCVBNM'.split('').forEach(function (c, i) { keys['Key' + c] = 44 + i; });
  '1234567890'.split('').forEach(function (c, i) { keys['Digit' + c] = 2 + i; });
  for (var f = 1; f <= 10; ++f) keys['F' + f] = 58 + f;
  function key(down) {
    return function (e) {
      var dik = keys[e.code];
      if (!dik) return;
      if (down) startAudio();
      if (!e.repeat) queue([3, dik, down ? 1 : 0]);
      e.preventDefault();
    };
  }
  window.addEventListener('keydown', key(true));
  window.addEventListener('keyup', key(false));
  document.addEventListener('visibilitychange', function () {
    queue([4, document.visibilityState === 'visible' ? 1 : 0, 0]);
  });

  // ---- sound: started by the first click or key, as browsers require ----
  // A running audio graph keeps real-time threads of the browser busy even
  // when silent: after a second with nothing on the mixer it is suspended,
  // and resumed as soon as the mixer has a voice again (looked at with each
  // frame and each wake-up of the program).
  var audio = null, audioRate = 0, block = 2048, left = 0, right = 0, quiet = 0;
  function startAudio() {
    if (audio || !audioRate || typeof AudioContext === 'undefined') {
      if (audio && audio.state === 'suspended') audio.resume();
      return;
    }
    audio = new AudioContext({ sampleRate: audioRate });
    if (!left) { left = Module._malloc(block * 4); right = Module._malloc(block * 4); }
    var node = audio.createScriptProcessor(block, 0, 2);
    node.onaudioprocess = function (e) {
      var out = e.outputBuffer, frames = out.length;
      if (Module._ludora_web_audio_playing()) quiet = 0;
      else if (++quiet * frames > audioRate) audio.suspend();
      if (!Module._ludora_web_audio_render(left, right, frames)) {
        out.getChannelData(0).fill(0);
        out.getChannelData(1).fill(0);
        return;
      }
      var samples = HEAPF32.subarray(left >> 2, (left >> 2) + frames);
      out.getChannelData(0).set(samples);
      out.getChannelData(1).set(HEAPF32.subarray(right >> 2, (right >> 2) + frames));
      stats.audioBlocks++;
      for (var i = 0; i < frames; ++i) stats.audioPeak = Math.max(stats.audioPeak, Math.abs(samples[i]));
    };
    node.connect(audio.destination);
    audio.resume();
  }
  function wakeAudio() {
    if (audio && audio.state === 'suspended' && Module._ludora_web_audio_playing()) {
      quiet = 0;
      audio.resume();
    }
  }
  Module.ludoraAudioFormat = function (rate) {
    if (rate === audioRate) return;
    if (audio) { audio.close(); audio = null; }
    audioRate = rate;
  };

  // ---- saves: the player's store on IndexedDB ----
  // The layer keeps every file the programs write in its per-user store
  // (LUDORA_DATA_DIR); here that folder is an IndexedDB mount, read back
  // before WinMain runs and stored again after each completed write (the
  // layer calls ludoraSaves.written, web_saves.cpp). The store's writes are
  // renames of whole files, and one IndexedDB transaction stores each file
  // whole, so a tab closed meanwhile keeps the old file or the new one.
  var store = '/saves', syncing = null, again = false;
  function sync() {
    if (syncing) { again = true; return syncing; }
    syncing = new Promise(function (done) {
      FS.syncfs(false, function () {
        syncing = null;
        if (again) { again = false; sync().then(done); } else done();
      });
    });
    return syncing;
  }
  Module.ludoraSaves = {
    written: function () { sync(); },
    flush: function () { return syncing ? syncing.then(sync) : sync(); }
  };
  Module.preRun = (Module.preRun || []).concat(function () {
    FS.mkdir(store);
    FS.mount(IDBFS, {}, store);
    ENV.LUDORA_DATA_DIR = store;
    if (seed) ENV.LUDORA_SEED = seed;
    addRunDependency('ludora-saves');
    FS.syncfs(true, function () { removeRunDependency('ludora-saves'); });
  });
  Module.onRuntimeInitialized = function () {
    // The store finds the program's folder from its file, which the page has none of.
    if (!FS.analyzePath(config.exe).exists) FS.writeFile(config.exe, '');
    try { FS.mkdir('/proc/self'); } catch (e) { /* made by the runtime */ }
    FS.symlink(config.exe, '/proc/self/exe');
    FS.chdir(config.exe.substring(0, config.exe.lastIndexOf('/')));
  };

  // ---- hand-over: each program is a page ----
  Module.ludoraOpenProgram = function (name, parameters) {
    var page = config.pages[name];
    if (page === undefined) return 0;
    var address = new URL(page, location.href);
    if (parameters) address.search = '?args=' + encodeURIComponent(parameters);
    Module.ludoraSaves.flush().then(function () { location.assign(address.href); });
    return 1;
  };
  // The site's own addresses (the hall of fame's upload) go to the site that
  // serves this page, whatever site the programs were built for.
  Module.ludoraOpenAddress = function (address) {
    var url = new URL(address);
    if (url.pathname.indexOf('/cgi-bin/') === 0) url = new URL(url.pathname + url.search, location.href);
    window.open(url.href, '_blank', 'noopener');
  };
})();
