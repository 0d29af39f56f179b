// The page: a console panel that plays the WebAssembly game. The build
// replaces GRAVEMOOR_WASM with the module in base64, so the page needs no
// file beside it and makes no request.
import { compileGame, runGame, screenBytes } from "./wasi.js";

/* global GRAVEMOOR_WASM */
const $ = (id) => document.getElementById(id);
const form = $("controls");
const seedField = $("seed");
const text = $("text");
const line = $("line");
const waiting = $("waiting");
const status = $("status");
const share = $("share");
const link = $("link");

const encoder = new TextEncoder();
const decoder = new TextDecoder();
// Marks for the browser test's timings: the script starts, the prompt shows,
// Enter is pressed, the last line shows.
performance.mark("gravemoor-start");
const modulePromise = compileGame(fromBase64(GRAVEMOOR_WASM));

// The browser's own decoder where it has one; the loop elsewhere is still
// several times faster on first run than Uint8Array.from with a callback.
function fromBase64(base64) {
  if (Uint8Array.fromBase64) return Uint8Array.fromBase64(base64);
  const binary = atob(base64);
  const bytes = new Uint8Array(binary.length);
  for (let i = 0; i < binary.length; i++) bytes[i] = binary.charCodeAt(i);
  return bytes;
}

// The game being played. `input` is all that was typed and entered;
// `ended` is set by Ctrl-D. Each entry runs the game again from the start
// (see wasi.js), one run after the other.
let game = null;
let runs = Promise.resolve();
let shown = "";

function newGame(seed, name) {
  game = { seed, input: new Uint8Array(0), ended: false, lastLine: "" };
  seedField.value = seed;
  shown = "";
  text.replaceChildren();
  status.textContent = "";
  share.hidden = true;
  if (name === undefined) return run(game);
  return enter(name, name === "");
}

// Hands the typed text to the game: a line, or with `ends` the end of input.
function enter(typed, ends) {
  performance.mark("gravemoor-enter");
  game.lastLine = typed;
  game.input = concat(game.input, encoder.encode(ends ? typed : typed + "\n"));
  game.ended = ends;
  line.value = "";
  return run(game);
}

function run(current) {
  runs = runs.then(async () => {
    if (current !== game) return; // a new game began meanwhile
    const result = await runGame(await modulePromise, {
      args: ["gravemoor", current.seed],
      input: current.input,
      inputEnded: current.ended,
    });
    if (current !== game) return;
    show(decoder.decode(screenBytes(result)));
    if (result.status === null) wait();
    else finish(result);
  }).catch((fault) => {
    // A trap in the module is a fault of ours, never a game's end: say so,
    // and keep the queue alive for the next game.
    line.hidden = waiting.hidden = true;
    status.textContent = `The game stopped on a fault: ${fault.message}`;
  });
  return runs;
}

// Appends only what is new, so that the live log announces each line once.
function show(screen) {
  if (screen.startsWith(shown)) {
    text.append(screen.slice(shown.length));
  } else {
    text.textContent = screen;
  }
  shown = screen;
}

function wait() {
  line.hidden = false;
  waiting.hidden = false;
  line.focus();
  if (!performance.getEntriesByName("gravemoor-prompt").length) performance.mark("gravemoor-prompt");
}

function finish(result) {
  performance.mark("gravemoor-end");
  line.hidden = true;
  waiting.hidden = true;
  const error = decoder.decode(result.stderr).trim();
  if (result.status === 0) status.textContent = "The game ended (exit status 0).";
  else if (result.status === 1) status.textContent = `The game's text could not all be written (exit status 1): ${error}`;
  else status.textContent = `The game ended with exit status ${result.status}. ${error}`;
  const params = new URLSearchParams({ seed: game.seed, name: game.lastLine });
  link.href = `#${params.toString().replace(/\+/g, "%20")}`;
  link.textContent = new URL(link.href, location.href).href;
  share.hidden = false;
  seedField.focus();
  seedField.select();
}

function concat(a, b) {
  const both = new Uint8Array(a.length + b.length);
  both.set(a);
  both.set(b, a.length);
  return both;
}

function randomSeed() {
  return String(crypto.getRandomValues(new Uint32Array(1))[0] >>> 1);
}

// `#seed=42` starts that game at the prompt; `#seed=42&name=Ann` plays it
// through with that name, and `name=` (empty) with none.
function playFromAddress() {
  const params = new URLSearchParams(location.hash.slice(1));
  if (!params.has("seed")) return newGame(randomSeed());
  return newGame(params.get("seed"), params.has("name") ? params.get("name") : undefined);
}

line.addEventListener("keydown", (event) => {
  if (event.key === "Enter") {
    event.preventDefault();
    enter(line.value, false);
  } else if (event.key === "d" && event.ctrlKey) {
    event.preventDefault(); // not the browser's bookmark
    enter(line.value, true);
  }
});
$("end").addEventListener("click", () => enter(line.value, true));
$("screen").addEventListener("click", () => {
  if (!line.hidden && !window.getSelection().toString()) line.focus();
});
form.addEventListener("submit", (event) => {
  event.preventDefault();
  newGame(seedField.value);
});
$("random").addEventListener("click", () => newGame(randomSeed()));
// Following a game's link replays it, even the one just played.
link.addEventListener("click", (event) => {
  if (link.hash === location.hash) {
    event.preventDefault();
    playFromAddress();
  }
});
window.addEventListener("hashchange", playFromAddress);
playFromAddress();
