// The page in a real browser: Debian's headless Chromium, driven by
// playwright-core (never a downloaded browser). It opens gravemoor.html from
// file://, plays games with the keyboard alone as a player would, and holds
// the panel's text to what a terminal shows for the native game of the same
// tree. It also follows a game's link, checks that nothing was fetched, and
// saves a light and a dark screenshot into the build directory.
//
// Exits 77 (skipped) without a browser, except under CI, where that fails.
import assert from "node:assert/strict";
import { spawnSync } from "node:child_process";
import { existsSync, mkdtempSync, rmSync } from "node:fs";
import { createRequire } from "node:module";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { pathToFileURL } from "node:url";

const { GRAVEMOOR_NATIVE, GRAVEMOOR_PAGE, GRAVEMOOR_NODE_MODULES, GRAVEMOOR_OUT } = process.env;
const CHROMIUM = process.env.GRAVEMOOR_CHROMIUM || "/usr/bin/chromium";
const PROMPT = "enter your name... below\n";

if (!existsSync(CHROMIUM)) {
  const inCi = process.env.CI === "true";
  console.log(`${CHROMIUM} is missing (apt-get install chromium): ${inCi ? "failing under CI" : "skipped"}`);
  process.exit(inCi ? 1 : 77);
}
const { chromium } = createRequire(join(GRAVEMOOR_NODE_MODULES, "/"))("playwright-core");

// What a terminal shows: the game's output with the typed lines echoed at
// the point where the game read them, which for this game is after the prompt.
function terminalScreen(seed, typedLines) {
  const input = typedLines.map((line) => line + "\n").join("");
  const run = spawnSync(GRAVEMOOR_NATIVE, [seed], { input, encoding: "utf8" });
  assert.equal(run.status, 0, `native game for seed ${JSON.stringify(seed)}`);
  const at = run.stdout.indexOf(PROMPT) + PROMPT.length;
  assert.ok(at >= PROMPT.length, "the native game shows the prompt");
  return run.stdout.slice(0, at) + input + run.stdout.slice(at);
}

const profile = mkdtempSync(join(tmpdir(), "gravemoor-chromium-"));
const context = await chromium.launchPersistentContext(profile, {
  executablePath: CHROMIUM,
  headless: true,
  args: [
    "--headless",
    "--no-sandbox",
    "--disable-gpu",
    "--disable-background-networking",
    "--disable-component-update",
    "--no-first-run",
    "--disable-quic",
    "--disable-sync",
  ],
  viewport: { width: 720, height: 900 },
});

// Every request the browser makes for any page: only the page's own file
// (the document itself, on each navigation) may be among them.
const pageUrl = pathToFileURL(GRAVEMOOR_PAGE).href;
const requests = [];
context.on("request", (request) => requests.push(request.url()));
const errors = [];

const panelText = (page) => page.locator("#text").textContent();
const status = (page) => page.locator("#status").textContent();

// Waits until the game sits at the prompt with the name field on screen.
async function waitForPrompt(page) {
  await page.waitForFunction(
    (prompt) => !document.getElementById("line").hidden && document.getElementById("text").textContent.endsWith(prompt),
    PROMPT,
  );
  assert.ok(await page.locator("#line").isVisible(), "the name field is on screen at the prompt");
  assert.ok(await page.locator("#line").evaluate((line) => line === document.activeElement), "the name field has the focus");
  const text = await panelText(page);
  assert.ok(text.startsWith("welcome to the gravemoor"), text);
}

// The seed by keyboard: into the field, clear it, type, Enter.
async function typeSeed(page, seed) {
  await page.locator("#seed").focus();
  await page.keyboard.press("Control+a");
  await page.keyboard.press("Delete");
  await page.keyboard.type(seed);
  await page.keyboard.press("Enter");
}

const waitForEnd = (page) => page.waitForFunction(() => document.getElementById("status").textContent !== "");

async function openPage(address) {
  const page = await context.newPage();
  page.on("pageerror", (error) => errors.push(error.message));
  page.on("console", (message) => message.type() === "error" && errors.push(message.text()));
  await page.goto(address);
  return page;
}

const timings = { prompt: [], enter: [] };
try {
  const page = await openPage(`${pageUrl}#seed=0`);
  await waitForPrompt(page);
  timings.prompt.push(await page.evaluate(() => performance.getEntriesByName("gravemoor-prompt")[0].startTime));

  // Seeds read as the command line reads them; names typed with one slip
  // put right with Backspace; an empty line first, which keeps waiting.
  const games = [
    { seed: "0", name: "Ann" },
    { seed: "1", name: "Bob" },
    { seed: "212", name: "Cyd" },
    { seed: "127706", name: "Dee" },
    { seed: "abc", name: "Eve" },
    { seed: "-5", name: "Fay" },
    { seed: "12abc", name: "Gus", blankFirst: true },
    { seed: "2147483648", name: "Hal Ivy" },
    { seed: "", name: "Joe" },
  ];
  for (const { seed, name, blankFirst } of games) {
    await typeSeed(page, seed);
    await waitForPrompt(page);
    const lines = [];
    if (blankFirst) {
      await page.keyboard.press("Enter");
      lines.push("");
      await page.waitForFunction(() => document.getElementById("text").textContent.endsWith("below\n\n"));
      assert.ok(await page.locator("#line").isVisible(), "an empty line keeps the game waiting");
      assert.equal(await status(page), "");
    }
    await page.keyboard.type(name + "x");
    await page.keyboard.press("Backspace");
    await page.keyboard.press("Enter");
    lines.push(name);
    await waitForEnd(page);
    assert.equal(await panelText(page), terminalScreen(seed, lines), `seed ${JSON.stringify(seed)}`);
    assert.equal(await status(page), "The game ended (exit status 0).");
    assert.ok(await page.locator("#line").isHidden(), "no name field after the game");
    const href = await page.locator("#link").getAttribute("href");
    assert.equal(href, `#seed=${encodeURIComponent(seed)}&name=${encodeURIComponent(name)}`);
    timings.enter.push(
      await page.evaluate(() => {
        const last = (name) => performance.getEntriesByName(name).at(-1).startTime;
        return last("gravemoor-end") - last("gravemoor-enter");
      }),
    );
  }

  // Ctrl-D at an empty prompt ends the input: the fighter goes nameless.
  await typeSeed(page, "5");
  await waitForPrompt(page);
  await page.keyboard.press("Control+d");
  await waitForEnd(page);
  const nameless = spawnSync(GRAVEMOOR_NATIVE, ["5"], { input: "", encoding: "utf8" });
  assert.equal(await panelText(page), nameless.stdout);

  // The panel is a live log of real text, and the page fits a phone.
  assert.equal(await page.locator("#screen").getAttribute("role"), "log");
  await page.setViewportSize({ width: 360, height: 800 });
  assert.ok(await page.evaluate(() => document.documentElement.scrollWidth <= 360), "no sideways scrolling at 360 px");
  await page.setViewportSize({ width: 720, height: 900 });

  // A game's link, opened afresh, replays that game at once.
  const linked = await openPage(`${pageUrl}#seed=42&name=Ann%20Lee`);
  await waitForEnd(linked);
  assert.equal(await panelText(linked), terminalScreen("42", ["Ann Lee"]));
  assert.equal(await linked.locator("#seed").inputValue(), "42");
  timings.prompt.push(await linked.evaluate(() => performance.getEntriesByName("gravemoor-end")[0].startTime));

  // Opening afresh, five times: from the start of navigation, and from the
  // page's script starting, to the prompt on screen.
  const opens = [];
  for (let i = 0; i < 5; i++) {
    const again = await openPage(`${pageUrl}#seed=${i}`);
    await waitForPrompt(again);
    opens.push(
      await again.evaluate(() => {
        const at = (name) => performance.getEntriesByName(name)[0].startTime;
        return [at("gravemoor-prompt"), at("gravemoor-prompt") - at("gravemoor-start")];
      }),
    );
    await again.close();
  }

  // Wide enough for the game's 80 columns; the full page is a little taller.
  await linked.setViewportSize({ width: 800, height: 600 });
  for (const scheme of ["light", "dark"]) {
    await linked.emulateMedia({ colorScheme: scheme });
    await linked.screenshot({ path: join(GRAVEMOOR_OUT, `gravemoor-${scheme}.png`), fullPage: true });
  }

  const others = requests.filter((url) => url.split("#")[0] !== pageUrl);
  assert.deepEqual(others, [], "requests that left the page");
  assert.deepEqual(errors, [], "errors on the page");
  const ms = (list) => list.map((t) => t.toFixed(1)).join(" ");
  console.log(`${games.length + 1} games played, 1 link replayed, ${requests.length} requests, all for the page itself`);
  const median = (list) => [...list].sort((a, b) => a - b)[Math.floor(list.length / 2)];
  console.log(`first open -> prompt: ${timings.prompt[0].toFixed(1)} ms; open -> last line of a linked game: ${timings.prompt[1].toFixed(1)} ms`);
  console.log(`open -> prompt, 5 opens: ${ms(opens.map((o) => o[0]))} ms (median ${median(opens.map((o) => o[0])).toFixed(1)})`);
  console.log(`script start -> prompt: ${ms(opens.map((o) => o[1]))} ms (median ${median(opens.map((o) => o[1])).toFixed(1)})`);
  console.log(`Enter -> last line median: ${median(timings.enter).toFixed(1)} ms`);
  console.log(`Enter -> last line: ${ms(timings.enter)} ms`);
  console.log(`screenshots: ${join(GRAVEMOOR_OUT, "gravemoor-light.png")} ${join(GRAVEMOOR_OUT, "gravemoor-dark.png")}`);
} finally {
  await context.close();
  rmSync(profile, { recursive: true, force: true });
}
