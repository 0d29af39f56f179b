// The page: a terminal that plays the WebAssembly game. The build puts the
// game's first screen (the welcome and the prompt, the same for every seed
// and name) into the page, so the prompt is there at first paint, and
// replaces GRAVEMOOR_WASM with the module in base64, which compiles while
// the player reads: the page needs no file beside it and makes no request.
import { compileGame, runGame } from "./wasi.js";
import { INPUT_MAX, NAME_MAX, boundSeed, concat, echoed, gameAddress, nameOf, outcome, readAddress, screenOf } from "./terminal.js";

/* global GRAVEMOOR_WASM */
const $ = (id) => document.getElementById(id);
const seedField = $("seed");
const terminal = $("terminal");
const log = $("log");
const line = $("line");
const waiting = $("waiting");
const note = $("note");
const result = $("result");
const outcomeLine = $("outcome");
const link = $("link");
const again = $("again");
const copied = $("copied");

// Marks for the browser test's timings: the script starts (after the first
// frame, see gravemoor.html), Enter is pressed, the last line shows (only
// the latest of each is kept).
performance.mark("gravemoor-start");
const mark = (name) => {
  performance.clearMarks(name);
  performance.mark(name);
};

const encoder = new TextEncoder();
const decoder = new TextDecoder();
const firstScreen = log.textContent;
const canRun = typeof WebAssembly === "object" && typeof WebAssembly.compile === "function";
// Compiled once, while the player reads the prompt (this script starts
// after the first paint).
const modulePromise = canRun ? compileGame(fromBase64(GRAVEMOOR_WASM)) : Promise.reject(new Error("no WebAssembly"));
modulePromise.catch(() => {}); // reported by the run that needs it

// The browser's own decoder where it has one; the loop elsewhere is still
// several times faster on first run than Uint8Array.from with a callback.
function fromBase64(base64) {
  if (Uint8Array.fromBase64) return Uint8Array.fromBase64(base64);
  const binary = atob(base64);
  const bytes = new Uint8Array(binary.length);
  for (let i = 0; i < binary.length; i++) bytes[i] = binary.charCodeAt(i);
  return bytes;
}

// The game being played: its seed, all that was typed and handed to it,
// and whether the input has ended (Ctrl-D at an empty line). Each hand-over
// runs the game again from the start (see wasi.js), one run after another.
let game = null;
let runs = Promise.resolve();
let shown = firstScreen;

// Starts a game; `push` makes it a new entry in the browser's history.
function newGame(seed, { input = new Uint8Array(0), ended = false, notes = [], push = false } = {}) {
  seed = boundSeed(seed);
  game = { seed, input, ended, address: "" };
  seedField.value = seed;
  document.title = `gravemoor: seed ${seed.trim() ? seed : `"${seed}"`}`;
  line.value = "";
  // Left as it is when it is already the first screen, so that opening the
  // page changes nothing on it before its first paint.
  if (shown !== firstScreen) show(firstScreen);
  result.hidden = true;
  copied.textContent = "";
  say(notes.join(" "));
  remember(push);
  if (!canRun) return fault("This browser cannot run WebAssembly, which the game is made of, so only its first screen shows here. The page plays in any current browser with WebAssembly turned on.");
  if (input.length || ended) return run(game);
  return wait();
}

// Puts the game on screen into the address, so that a reload, a bookmark
// or the link plays it again.
function remember(push) {
  game.address = gameAddress(game);
  if (location.hash === game.address) return;
  history[push ? "pushState" : "replaceState"](null, "", game.address);
}

// Hands typed text to the game: a line with its break, the text alone
// (Ctrl-D after text, as a terminal does), or with `ends` the end of input.
function hand(text, ends = false) {
  const lineBreak = text.endsWith("\n");
  let bytes = encoder.encode(lineBreak ? text.slice(0, -1) : text);
  // The field holds no more than a game takes; this trims what a paste of
  // several-byte characters brought past it.
  const room = Math.max(0, INPUT_MAX - game.input.length - (lineBreak ? 1 : 0));
  if (bytes.length > room) bytes = encoder.encode(decoder.decode(bytes.subarray(0, room)).replace(/\uFFFD$/, ""));
  if (lineBreak) bytes = concat(bytes, [10]);
  mark("gravemoor-enter");
  game.input = concat(game.input, bytes);
  game.ended = ends;
  game.typed = { text: line.value, length: bytes.length };
  line.value = "";
  return run(game);
}

function run(current) {
  line.readOnly = true;
  runs = runs
    .then(async () => {
      if (current !== game) return; // a new game began meanwhile
      let module;
      try {
        module = await modulePromise;
      } catch {
        return fault("This browser could not start the game's WebAssembly, so only its first screen shows here.");
      }
      const ran = await runGame(module, {
        args: ["gravemoor", current.seed],
        input: current.input,
        inputEnded: current.ended,
      });
      if (current !== game) return;
      if (ran.status !== null && echoed(ran, current.input) < current.input.length) {
        // Lines past the end of the game (a link can carry them): dropped.
        current.input = current.input.slice(0, echoed(ran, current.input));
        current.ended = false;
      }
      show(decoder.decode(screenOf(ran, current.input)));
      remember(false);
      if (ran.status === null) wait();
      else finish(ran);
    })
    .catch((error) => {
      if (current !== game) return;
      // A trap in the module is a fault of ours, never a game's end: say so,
      // give back what was typed and keep the queue alive for the next game.
      const typed = current.typed ?? { text: "", length: 0 };
      current.input = current.input.slice(0, current.input.length - typed.length);
      current.ended = false;
      current.typed = null;
      remember(false);
      line.value = typed.text;
      placeCursor();
      fault(`Something went wrong inside the game and it stopped (${error.message}). What you typed is back in the field: press Enter to try again, or start a new game.`, true);
    });
  return runs;
}

// Shows `text` on the terminal, appending only what is new, so that the
// live log announces each line once.
function show(text) {
  if (text.startsWith(shown) && log.textContent === shown) log.append(text.slice(shown.length));
  else log.textContent = text;
  shown = text;
  // The field continues the last line, in the columns left of the 80.
  const column = text.length - text.lastIndexOf("\n") - 1;
  line.style.width = column ? `${Math.max(1, 80 - column)}ch` : "";
}

function say(words) {
  note.textContent = words;
  note.hidden = !words;
}

function fault(words, keepField = false) {
  say(words);
  line.readOnly = false;
  line.hidden = waiting.hidden = !keepField;
  (keepField ? line : note).focus();
}

function wait() {
  line.readOnly = false;
  line.hidden = waiting.hidden = false;
  line.maxLength = Math.max(0, INPUT_MAX - game.input.length - 1);
  if (document.activeElement !== line) line.focus({ preventScroll: true });
  placeCursor();
  // The newest line in view (at the first screen it is).
  if (game.input.length) line.scrollIntoView({ block: "nearest" });
}

function finish(run) {
  mark("gravemoor-end");
  line.hidden = waiting.hidden = true;
  const text = decoder.decode(run.stdout);
  const error = decoder.decode(run.stderr).trim();
  outcomeLine.textContent = run.status === 0 ? outcome(text) : `The game stopped before its end. ${error}`;
  // The game's own word, for whoever wants it.
  outcomeLine.title = `exit status ${run.status}`;
  if (nameOf(game.input).longer && note.hidden) say(`The game keeps at most ${NAME_MAX} bytes of a name: the name line shows the part it kept.`);
  link.href = game.address;
  const whole = link.href;
  link.textContent = whole.length > 200 ? `${whole.slice(0, 199)}…` : whole;
  result.hidden = false;
  // Play again is where a keyboard player goes on: Enter starts the next
  // game at once, and Copy link and Share are the next stops of Tab. The
  // result, with the end of the fight above it, comes into view.
  again.focus({ preventScroll: true });
  result.scrollIntoView({ block: "nearest" });
}

function randomSeed() {
  return String(crypto.getRandomValues(new Uint32Array(1))[0] >>> 1);
}

// `#seed=42` starts that game at the prompt; `#seed=42&name=Ann` plays it
// through with that name typed; see gameAddress for the rest.
function playFromAddress() {
  const { seed, input, ended, notes } = readAddress(location.hash);
  return newGame(seed ?? randomSeed(), { input, ended, notes });
}

line.addEventListener("keydown", (event) => {
  if (line.readOnly) return;
  if (event.key === "Enter") {
    event.preventDefault();
    hand(`${line.value}\n`);
  } else if ((event.key === "d" || event.key === "D") && event.ctrlKey && !event.altKey && !event.metaKey) {
    event.preventDefault(); // not the browser's bookmark
    // As on a terminal: after text it hands the text over, at an empty
    // line it ends the input.
    hand(line.value, line.value === "");
  }
});
// The block cursor follows the caret: one column a character, less what
// the field has scrolled.
function placeCursor() {
  const at = line.selectionDirection === "backward" ? line.selectionStart : line.selectionEnd;
  // An empty field is not scrolled, and asking would lay out the page.
  const scrolled = line.value ? line.scrollLeft : 0;
  line.style.setProperty("--at", `calc(${[...line.value.slice(0, at)].length}ch - ${scrolled}px)`);
}
for (const type of ["input", "keyup", "click", "focus", "select", "scroll"]) line.addEventListener(type, placeCursor);
document.addEventListener("selectionchange", placeCursor);
$("end").addEventListener("click", () => hand(line.value, true));
terminal.addEventListener("click", () => {
  if (!line.hidden && !window.getSelection().toString()) line.focus();
});
$("controls").addEventListener("submit", (event) => {
  event.preventDefault();
  newGame(seedField.value, { push: true });
});
$("random").addEventListener("click", () => newGame(randomSeed(), { push: true }));
again.addEventListener("click", () => newGame(randomSeed(), { push: true }));
$("copy").addEventListener("click", () => {
  const done = () => (copied.textContent = "Link copied.");
  const select = () => {
    window.getSelection().selectAllChildren(link);
    copied.textContent = "The link is selected: copy it with Ctrl-C.";
  };
  if (navigator.clipboard) navigator.clipboard.writeText(link.href).then(done, select);
  else select();
});
if (navigator.share) {
  const send = $("send");
  send.hidden = false;
  send.addEventListener("click", () => navigator.share({ title: document.title, url: link.href }).catch(() => {}));
}
// Following a game's link replays it, even the one just played.
link.addEventListener("click", (event) => {
  if (link.hash === location.hash) {
    event.preventDefault();
    playFromAddress();
  }
});
// Back and forward, and an address typed or changed by hand.
const follow = () => location.hash !== game.address && playFromAddress();
window.addEventListener("popstate", follow);
window.addEventListener("hashchange", follow);
playFromAddress();
