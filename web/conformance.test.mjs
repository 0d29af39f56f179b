// The module, run through the page's own glue (wasi.js), against the native
// game built from the same tree: every byte of both streams and the status,
// over a corpus of seeds and names.
import assert from "node:assert/strict";
import { spawnSync } from "node:child_process";
import { openSync, closeSync, readFileSync, statSync } from "node:fs";
import { test } from "node:test";
import { compileGame, runGame, screenBytes } from "./wasi.js";

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

// The page shows what the game wrote before its read found no input, and
// after the name the screen a terminal shows: the line echoed after the prompt.
test("the game waits at the prompt and the screen echoes the name after it", async () => {
  for (const seed of ["0", "1", "212", "127706", "abc"]) {
    const before = await runGame(module, { args: ["gravemoor", seed], input: new Uint8Array(0), inputEnded: false });
    assert.equal(before.status, null);
    const text = new TextDecoder().decode(before.stdout);
    assert.ok(text.endsWith(PROMPT), text);

    const after = await runGame(module, { args: ["gravemoor", seed], input: encoder.encode("\nAnn\n"), inputEnded: false });
    const whole = Buffer.from(native([seed], "Ann\n").stdout).toString();
    assert.equal(after.status, 0);
    assert.equal(Buffer.from(screenBytes(after)).toString(), text + "\nAnn\n" + whole.slice(text.length));
  }
});

test("the page is one file within its budget", () => {
  const page = readFileSync(GRAVEMOOR_PAGE, "utf8");
  assert.ok(statSync(GRAVEMOOR_PAGE).size <= 64 * 1024, `${statSync(GRAVEMOOR_PAGE).size} bytes`);
  assert.doesNotMatch(page, /<(script|link|img|iframe)[^>]*\s(src|href)=/i);
});
