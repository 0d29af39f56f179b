// The page: a terminal that plays the WebAssembly game. The build puts the
// game's first screen (the welcome and the prompt, the same for every seed
// and name) into the page, so the prompt is there at first paint, and
// replaces GRAVEMOOR_WASM with the module in base64, which compiles while
// the player reads: the page needs no file beside it and makes no request.
import { compileGame, runGame } from "./wasi.js";
import { LINE_MAX, NAME_MAX, boundSeed, capLines, concat, echoed, gameAddress, nameOf, outcome, readAddress, screenOf, seedTitle } from "./terminal.js";

/* global GRAVEMOOR_WASM */
const $ = (id) => document.getElementById(id);
const seedField = $("seed");
const terminal = $("terminal");
const log = $("log");
const line = $("line");
const waiting = $("waiting");
const note = $("note");
const alarm = $("fault");
const result = $("result");
const outcomeLine = $("outcome");
const link = $("link");
const again = $("again");
const copied = $("copied");

// Marks for the tests and web/bench.mjs: the script starts (after the
// first paint, see build_page.mjs), and the game's end shows (only the
// latest is kept).
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
// Said at once, before the player types into a game that cannot run.
let broken = canRun ? null : "This browser cannot run WebAssembly, which the game is made of, so only its first screen shows here. The page plays in any current browser with WebAssembly turned on.";
modulePromise.catch((error) => {
  broken ??= `This browser could not compile the game's WebAssembly (${error.message}), so only its first screen shows here.`;
  fault(broken);
});

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
let columns = 80; // the field's width, in columns

// Starts a game; `push` makes it a new entry in the browser's history.
function newGame(seed, { input = new Uint8Array(0), ended = false, notes = [], push = false } = {}) {
  seed = boundSeed(seed);
  game = { seed, input, ended, address: "" };
  seedField.value = seed;
  document.title = seedTitle(seed);
  line.value = "";
  // Left as it is when it is already the first screen, so that opening the
  // page changes nothing on it before its first paint.
  if (shown !== firstScreen) show(firstScreen);
  result.hidden = true;
  copied.textContent = "";
  say(notes.join(" "));
  fault("");
  remember(push);
  if (broken) return fault(broken);
  if (input.length || ended) {
    game.typed = { text: "", from: 0, fromLink: true };
    return run(game);
  }
  return wait();
}

// Puts the game on screen into the address, so that a reload, a bookmark
// or the link plays it again.
function remember(push) {
  game.address = gameAddress(game);
  if (location.hash === game.address) return;
  history[push ? "pushState" : "replaceState"](null, "", game.address);
}

// Hands typed text to the game: each line with its break, and the text
// after the last break alone (Ctrl-D after text, as a terminal does), or
// with `ends` the end of input. `rest` stays in the field, not yet entered.
function hand(text, ends = false, rest = "") {
  // Each line holds at most LINE_MAX bytes with its break, counting the
  // part of it handed over before (Ctrl-D); this trims what a paste brought
  // past the field's own bound.
  const open = game.input.length - game.input.lastIndexOf(10) - 1;
  const bytes = capLines(encoder.encode(text), open);
  game.typed = { text, from: game.input.length };
  game.input = concat(game.input, bytes);
  game.ended = ends;
  line.value = rest;
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
        return fault(broken);
      }
      const ran = await runGame(module, {
        args: ["gravemoor", current.seed],
        input: current.input,
        inputEnded: current.ended,
      });
      if (current !== game) return;
      fault("");
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
      // take back what was handed over and keep the queue alive for the
      // next game. A line typed is put back in the field; a link's typing
      // or a paste of several lines is not, and the message says so.
      const { text, from, fromLink } = current.typed ?? { text: "", from: current.input.length };
      current.input = current.input.slice(0, from);
      current.ended = false;
      current.typed = null;
      remember(false);
      const back = text.replace(/\n$/, "");
      const single = text && !back.includes("\n");
      line.value = single ? back : "";
      placeCursor();
      const what = single
        ? "What you typed is back in the field: press Enter to try again, or start a new game."
        : text
          ? "The lines you handed over are not kept: type them again, or start a new game."
          : `${fromLink ? "It was replaying this link's typing. " : ""}The game is back at its prompt: type a name and press Enter to try again, or start a new game.`;
      fault(`Something went wrong inside the game and it stopped (${error.message}). ${what}`, true);
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
  columns = Math.max(1, 80 - column);
  line.style.width = column ? `${columns}ch` : "";
}

function say(words) {
  note.textContent = words;
  note.hidden = !words;
}

// A fault, announced (the element is an alert) and with the focus where
// the player can go on: the field when the game can still be played, else
// the message itself. An empty `words` clears it.
function fault(words, keepField = false) {
  alarm.textContent = words;
  alarm.hidden = !words;
  if (!words) return;
  line.readOnly = false;
  line.hidden = waiting.hidden = !keepField;
  (keepField ? line : alarm).focus();
}

function wait() {
  line.readOnly = false;
  line.hidden = waiting.hidden = false;
  line.maxLength = Math.max(0, LINE_MAX - 1 - (game.input.length - game.input.lastIndexOf(10) - 1));
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
// A paste is typing: each pasted line is entered as a line, and what
// follows the last line break stays in the field, as on a terminal.
line.addEventListener("paste", (event) => {
  const text = event.clipboardData?.getData("text/plain").replace(/\r\n?/g, "\n") ?? "";
  if (line.readOnly || !text.includes("\n")) return;
  event.preventDefault();
  const whole = line.value.slice(0, line.selectionStart) + text + line.value.slice(line.selectionEnd);
  const last = whole.lastIndexOf("\n") + 1;
  hand(whole.slice(0, last), false, whole.slice(last));
});
// Selecting the terminal's text takes the focus from the field; the keys
// typed next still go to the line (Ctrl-C still copies the selection).
document.addEventListener("keydown", (event) => {
  if (line.hidden || line.readOnly || event.ctrlKey || event.metaKey || event.altKey) return;
  if (event.target.closest?.("input, button, a, textarea, select")) return;
  const character = [...event.key].length === 1;
  if (!character && event.key !== "Enter") return;
  event.preventDefault();
  line.focus({ preventScroll: true });
  if (event.key === "Enter") hand(`${line.value}\n`);
  else if (line.value.length + event.key.length <= line.maxLength) line.setRangeText(event.key, line.selectionStart, line.selectionEnd, "end");
  placeCursor();
});
// The field is as many rows high as its text takes, and the block cursor
// follows the caret: one column a character, `columns` to a row.
function placeCursor() {
  const at = [...line.value.slice(0, line.selectionDirection === "backward" ? line.selectionStart : line.selectionEnd)].length;
  line.style.height = `${(Math.floor([...line.value].length / columns) + 1) * 1.3}em`;
  line.style.setProperty("--at", `${at % columns}ch`);
  line.style.setProperty("--row", `${Math.floor(at / columns) * 1.3}em`);
}
for (const type of ["input", "keyup", "click", "focus", "select"]) line.addEventListener(type, placeCursor);
// A line break that comes in some other way (text dropped on the field)
// enters the lines before it, as a paste does.
line.addEventListener("input", () => {
  const last = line.value.lastIndexOf("\n") + 1;
  if (last && !line.readOnly) hand(line.value.slice(0, last), false, line.value.slice(last));
});
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
