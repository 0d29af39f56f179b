// The module, run through the page's own glue (wasi.js), against the native
// game built from the same tree: every byte of both streams and the status,
// over a corpus of seeds and names.
import assert from "node:assert/strict";
import { spawnSync } from "node:child_process";
import { openSync, closeSync, readFileSync, statSync } from "node:fs";
import { test } from "node:test";
import { compileGame, runGame } from "./wasi.js";
import { LINE_MAX, SEED_MAX, boundSeed, decodeBytes, gameAddress, outcome, readAddress, screenOf } from "./terminal.js";

const { GRAVEMOOR_WASM, GRAVEMOOR_NATIVE, GRAVEMOOR_PAGE } = process.env;
const module = await compileGame(readFileSync(GRAVEMOOR_WASM));
const encoder = new TextEncoder();
const PROMPT = "enter your name... below\n";
const ENOSPC = 51; // WASI's number; the native game sees the host's

function native(args, input, stdout = "pipe") {
  const run = spawnSync(GRAVEMOOR_NATIVE, args, { input, stdio: ["pipe", stdout, "pipe"] });
  return { status: run.status, stdout: run.stdout ? new Uint8Array(run.stdout) : null, stderr: new Uint8Array(run.stderr) };
}

async function wasm(args, input, options = {}) {
  const run = await runGame(module, { args: ["gravemoor", ...args], input: encoder.encode(input), inputEnded: true, ...options });
  return { status: run.status, stdout: run.stdout, stderr: run.stderr };
}

async function assertSameGame(args, input) {
  const expected = native(args, input);
  assert.deepEqual(await wasm(args, input), expected, `arguments ${JSON.stringify(args)}, input ${JSON.stringify(input.slice(0, 60))}`);
  return expected;
}

// Every 32-bit wrap, both signs, text around digits and none at all.
const SEEDS = [
  ...Array.from({ length: 200 }, (_, i) => String(i)),
  ...["212", "127706", "2147483648", "-2147483648", "4294967297", "-5", "+5", "+-3", " \t7"],
  ...["12abc", "abc", "--help", ""],
];

test("every seed of the corpus plays the native game", async () => {
  for (const seed of SEEDS) await assertSameGame([seed], "Ann\n");
});

test("names of every length, with LF, CRLF or no line end, play the native game", async () => {
  const letters = "AnnBobCydDeeEveFayGusHalIvyJoeKimLenMoeNedOlaPamQuiRoy";
  for (const length of [0, 1, 51, 52, 1000]) {
    const name = letters.repeat(20).slice(0, length);
    for (const end of ["\n", "\r\n", ""]) {
      for (const seed of ["0", "1", "212", "127706"]) await assertSameGame([seed], name + end);
    }
  }
  // Blank lines and blanks before the word, and a second word after it.
  for (const input of ["\n\n  Ann Bob\n", " \t\r\n\vAnn", "Ann\nBob\n"]) await assertSameGame(["5"], input);
});

// A call the glue does not have would stop the page from loading at all.
test("the module imports only the WASI calls that the page's glue provides", () => {
  const imports = WebAssembly.Module.imports(module).map(({ module, name, kind }) => `${module}.${name} ${kind}`);
  const calls = ["args_get", "args_sizes_get", "fd_fdstat_get", "fd_read", "fd_seek", "fd_write", "poll_oneoff", "proc_exit"];
  assert.deepEqual(imports.sort(), calls.map((call) => `wasi_snapshot_preview1.${call} function`));
});

test("a wrong argument count gives 255 with no text, as natively", async () => {
  for (const args of [[], ["1", "2"]]) {
    const expected = await assertSameGame(args, "Ann\n");
    assert.equal(expected.status, 255);
    assert.equal(expected.stdout.length + expected.stderr.length, 0);
  }
});

test("text that cannot be written gives status 1 and the native message", async () => {
  const full = openSync("/dev/full", "w");
  try {
    const expected = native(["1"], "Ann\n", full);
    const got = await wasm(["1"], "Ann\n", { failWrites: ENOSPC });
    assert.equal(got.status, 1);
    assert.equal(got.status, expected.status);
    assert.deepEqual(got.stderr, expected.stderr);
  } finally {
    closeSync(full);
  }
});

// What a terminal shows for the native game: its output with everything
// typed echoed after the prompt, where the game waits while it reads.
function terminal(seed, typed) {
  const output = Buffer.from(native([seed], typed).stdout).toString("latin1");
  const at = output.indexOf(PROMPT) + PROMPT.length;
  return output.slice(0, at) + Buffer.from(typed).toString("latin1") + output.slice(at);
}

// The page shows what the game wrote before its read found no input, the
// same for every seed, which the build put into the page; after the input,
// the screen a terminal shows, whatever was typed.
test("the first screen in the page is what the game writes before the name", async () => {
  const page = readFileSync(GRAVEMOOR_PAGE, "utf8");
  const shown = page.match(/<pre id="log"[^>]*>([^<]*)<\/pre>/)[1].replace(/&lt;/g, "<").replace(/&gt;/g, ">").replace(/&amp;/g, "&");
  for (const seed of ["0", "1", "212", "127706", "abc", ""]) {
    const before = await runGame(module, { args: ["gravemoor", seed], input: new Uint8Array(0), inputEnded: false });
    assert.equal(before.status, null);
    assert.equal(new TextDecoder().decode(before.stdout), shown);
  }
  assert.ok(shown.endsWith(PROMPT));
});

test("the screen echoes every typed line whole, as a terminal does", async () => {
  const inputs = ["Ann\n", "\n\n  Ann Lee\n", "C".repeat(300) + "\n", "Zo\u00eb\n", "Bob", " \t\n\u00ff\n", "Ann\nBob\n"];
  for (const seed of ["0", "3", "212", "127706"]) {
    for (const typed of inputs) {
      const input = encoder.encode(typed);
      const ended = !typed.endsWith("\n");
      const run = await runGame(module, { args: ["gravemoor", seed], input, inputEnded: ended });
      assert.equal(run.status, 0);
      // The page never shows a line the game did not reach: "Bob" after
      // a finished game was typed after it.
      const reached = typed === "Ann\nBob\n" ? "Ann\n" : typed;
      assert.equal(Buffer.from(screenOf(run, input)).toString("latin1"), terminal(seed, Buffer.from(encoder.encode(reached))), JSON.stringify(typed));
    }
  }
});

test("a game's address carries all that was typed, and a link only so much", () => {
  const cases = [
    { seed: "42", input: "Ann\n", ended: false, address: "#seed=42&name=Ann" },
    { seed: "-5 x", input: "\n\nAnn Lee\n", ended: false, address: "#seed=-5%20x&name=%0A%0AAnn%20Lee" },
    { seed: "7", input: "Bob", ended: true, address: "#seed=7&name=Bob&end" },
    { seed: "7", input: "Bob", ended: false, address: "#seed=7&name=Bob&open" },
    { seed: "5", input: "", ended: true, address: "#seed=5&name=&end" },
    { seed: "9", input: "", ended: false, address: "#seed=9" },
  ];
  for (const { seed, input, ended, address } of cases) {
    assert.equal(gameAddress({ seed, input: encoder.encode(input), ended }), address);
    const read = readAddress(address);
    assert.deepEqual([read.seed, Buffer.from(read.input).toString(), read.ended, read.notes], [seed, input, ended, []]);
  }
  // Any byte, and the links of other writers: + for a blank, %-less text.
  assert.deepEqual([...readAddress("#seed=1&name=%FF%00+a%C3%A9").input], [0xff, 0, 32, 97, 0xc3, 0xa9, 10]);
  // A name past the bound: what the game reads of it, then Enter.
  const huge = readAddress(`#seed=1&name=%0A${"A".repeat(1 << 20)}`);
  assert.equal(Buffer.from(huge.input).toString(), `\n${"A".repeat(51)}\n`);
  assert.equal(huge.notes.length, 1);
  const blanks = readAddress(`#seed=1&name=${"%20".repeat(LINE_MAX + 10)}`);
  assert.ok(blanks.input.length <= LINE_MAX && !blanks.ended);
  const fits = readAddress(`#seed=1&name=${"B".repeat(LINE_MAX - 1)}%0A${"C".repeat(LINE_MAX - 1)}`);
  assert.equal(fits.input.length, 2 * LINE_MAX);
  assert.deepEqual(fits.notes, []);
  // The page's work on a link is bounded whatever its length: at most
  // three characters read a byte, and no more bytes than asked for.
  let reads = 0;
  const endless = { length: 2 ** 40, charCodeAt: (i) => (reads++, i % 3 ? 52 : 37) };
  assert.equal(decodeBytes(endless, 100).length, 101);
  assert.ok(reads <= 3 * 101, `${reads} characters read`);
});

// How the page tells the fighter's fate, over a game that ends each way.
test("the outcome in words fits each way a game ends", async () => {
  const ends = {
    1: "Your fighter fell to the lizardman.",
    3: "Your fighter slew the lizardman and died of the wounds.",
    0: "Your fighter slew the lizardman, then fell to the snow ape.",
    9: "Your fighter slew the lizardman, then fell to the bat.",
    4: "Your fighter slew the lizardman, then the snow ape, and lived.",
    5: "Your fighter slew the lizardman, then the bat, and lived.",
    473: "Your fighter slew the lizardman, then the snow ape, and died of the wounds.",
    212: "Your fighter slew the lizardman, then the bat, and died of the wounds.",
  };
  for (const [seed, words] of Object.entries(ends)) assert.equal(outcome(new TextDecoder().decode((await wasm([seed], "Ann\n")).stdout)), words, `seed ${seed}`);
});

test("a seed longer than the bound plays as the number it reads as: the same game", async () => {
  const seeds = [` 12${"9".repeat(200)}`, `-${"4".repeat(70)}x`, "+".repeat(80), `${"0".repeat(100)}7`];
  for (const seed of seeds) {
    const short = boundSeed(seed);
    assert.ok(short.length <= SEED_MAX);
    assert.deepEqual(await wasm([short], "Ann\n"), native([seed], "Ann\n"), JSON.stringify(seed));
    assert.equal(readAddress(`#seed=${encodeURIComponent(seed)}`).seed, short);
  }
  for (const seed of SEEDS) assert.deepEqual(await wasm([boundSeed(seed)], "Ann\n"), native([seed], "Ann\n"));
});

test("the page is one file within its budget", () => {
  const page = readFileSync(GRAVEMOOR_PAGE, "utf8");
  assert.ok(statSync(GRAVEMOOR_PAGE).size <= 64 * 1024, `${statSync(GRAVEMOOR_PAGE).size} bytes`);
  assert.doesNotMatch(page, /<(script|link|img|iframe)[^>]*\s(src|href)=/i);
});
