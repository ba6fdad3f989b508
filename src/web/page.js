// The page around the show: one line until a click or a key starts it (browsers allow sound only
// after such a gesture), then the show full-window with the cursor hidden. Escape ends it. Driven
// for tests: ?still=S draws one frame of second S at once, ?from=S starts there.
(function () {
  var params = new URLSearchParams(window.location.search);
  var still = params.get('still');
  var from = params.get('from');
  var line = document.getElementById('line');
  var canvas = document.getElementById('canvas');
  var running = false;

  function say(text) {
    line.textContent = text;
    line.style.display = text ? 'block' : 'none';
  }

  var sound = {
    context: null, decoded: {}, buffers: [], loops: [], pitches: [], sources: [],
    played: [],  // each sound started, with its offset: what the tests ask of the deck
    samples: function (id, data, rate) {
      // At start-up, before the gesture: a buffer needs no audio context.
      if (data.length === 0) { this.buffers[id] = null; return; }
      var buffer = new AudioBuffer({numberOfChannels: 1, length: data.length, sampleRate: rate});
      var channel = buffer.getChannelData(0);
      for (var k = 0; k < data.length; ++k) channel[k] = data[k] / 32768;
      this.buffers[id] = buffer;
    },
    file: function (id, path) { this.buffers[id] = this.decoded[path] || null; },
    create: function (id, loop, pitch) { this.loops[id] = loop; this.pitches[id] = pitch; },
    play: function (id, offset) {
      this.stop(id);  // played again, a sound starts from its beginning
      var buffer = this.buffers[id];
      if (!buffer || !this.context) return;
      if (this.loops[id]) offset = offset % buffer.duration;
      else if (offset >= buffer.duration) return;
      var source = this.context.createBufferSource();
      source.buffer = buffer;
      source.loop = !!this.loops[id];
      source.playbackRate.value = this.pitches[id] || 1;
      source.connect(this.context.destination);
      source.start(0, offset);
      this.sources[id] = source;
      this.played.push({id: id, offset: offset});
    },
    stop: function (id) {
      var source = this.sources[id];
      this.sources[id] = null;
      if (source) { try { source.stop(); } catch (e) { /* never started */ } }
    },
    stopAll: function () { for (var id = 0; id < this.sources.length; ++id) this.stop(id); }
  };

  // The tracks as staged for the page (Opus where re-encoded), decoded before the show starts, by
  // the names the show asks for. One that is missing or does not decode stays silent.
  function decodeSounds() {
    var names = [];
    try { names = FS.readdir('sounds'); } catch (e) { return Promise.resolve(); }
    var decoder = new OfflineAudioContext(1, 1, 48000);
    return Promise.all(names.filter(function (name) { return /\.(opus|wav)$/.test(name); }).map(function (name) {
      var bytes = FS.readFile('sounds/' + name);
      var asked = 'sounds/' + name.replace(/\.opus$/, '.wav');
      return decoder.decodeAudioData(bytes.buffer.slice(bytes.byteOffset, bytes.byteOffset + bytes.byteLength))
        .then(function (buffer) { sound.decoded[asked] = buffer; }, function () { /* silent */ });
    }));
  }

  function sizeCanvas() {
    if (still !== null) {
      canvas.width = 1920;  // the capture's own size: the page scales it to the window
      canvas.height = 1080;
      return;
    }
    var ratio = window.devicePixelRatio || 1;
    canvas.width = Math.round(window.innerWidth * ratio);
    canvas.height = Math.round(window.innerHeight * ratio);
  }

  function start() {
    if (running) return;
    running = true;
    Module.tolvaPage.startedAt = performance.now();
    window.removeEventListener('click', start);
    window.removeEventListener('keydown', start);
    if (still === null) {
      try { sound.context = new AudioContext(); sound.context.resume(); } catch (e) { sound.context = null; }
      var whole = document.documentElement;
      if (whole.requestFullscreen) whole.requestFullscreen().catch(function () { /* windowed then */ });
    }
    say('');
    document.body.classList.add('running');
    sizeCanvas();
    Module.tolvaPage.begun = true;
  }

  // The show starts up (and runs up to a second asked for) while the page loads; then it waits.
  function prepare() {
    sizeCanvas();
    Module.callMain(still !== null ? ['--still', still] : from !== null ? ['--from', from] : []);
  }

  Module.tolvaSound = sound;
  Module.tolvaPage = {
    escape: false,
    begun: false,
    startedAt: 0,
    ready: function () {
      console.log('tolva: ready ' + performance.now().toFixed(0) + ' ms after the page opened');
      if (still !== null) { start(); return; }
      say('click or press a key to start');
      window.addEventListener('click', start);
      window.addEventListener('keydown', start);
    },
    note: function (text) { say(text); },
    firstFrame: function () {
      console.log('tolva: first frame ' + (performance.now() - this.startedAt).toFixed(0) + ' ms after the start');
    },
    refused: function (why) {
      running = false;
      document.body.classList.remove('running');
      if (document.fullscreenElement && document.exitFullscreen) document.exitFullscreen().catch(function () {});
      say(why);
    },
    ended: function () {
      running = false;
      sound.stopAll();
      document.body.classList.remove('running');
      if (document.fullscreenElement && document.exitFullscreen) document.exitFullscreen().catch(function () {});
      say('The show has ended.');
      // The memory only grows: its size now is its peak.
      console.log('tolva: WebAssembly memory ' + (HEAP8.length / 1048576).toFixed(1) + ' MB at its peak');
      console.log('tolva: the show has ended');
    }
  };
  Module.canvas = canvas;
  Module.noInitialRun = true;
  Module.print = function (text) { console.log(text); };
  Module.printErr = function (text) { console.warn(text); };

  if (!document.createElement('canvas').getContext('webgl2')) {
    say('This browser has no WebGL 2, which the show needs.');
    console.log('tolva: no WebGL 2');
    Module.preRun = [function () { throw 'no WebGL 2'; }];
    return;
  }

  window.addEventListener('resize', function () { if (running) sizeCanvas(); });
  window.addEventListener('keydown', function (event) {
    if (running && event.key === 'Escape') Module.tolvaPage.escape = true;
  });
  document.addEventListener('fullscreenchange', function () {
    // Browsers keep Escape to themselves in full screen and leave it: that ends the show too.
    if (running && !document.fullscreenElement) Module.tolvaPage.escape = true;
  });

  Module.onRuntimeInitialized = function () {
    if (still !== null) { prepare(); return; }
    decodeSounds().then(prepare);
  };
})();
