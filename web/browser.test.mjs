// The page in a real browser engine, named by the first argument: chromium,
// firefox or webkit (see browsers.mjs). It opens gravemoor.html from
// file://, plays games with the keyboard alone as a player would, holds the
// terminal to what a real terminal shows for the native game of the same
// tree, follows and crafts links, and checks the first paint, the layout,
// the faults, the fallbacks and accessibility (axe-core). No verdict here
// depends on a time: web/bench.mjs measures them.
//
// Exits 77 (skipped) without the browser, except under CI, where that fails.
import assert from "node:assert/strict";
import { spawnSync } from "node:child_process";
import { existsSync, readFileSync } from "node:fs";
import { join } from "node:path";
import { after, before, test } from "node:test";
import { pathToFileURL } from "node:url";
import { EXECUTABLES, launch } from "./browsers.mjs";

const { GRAVEMOOR_NATIVE, GRAVEMOOR_PAGE, GRAVEMOOR_NODE_MODULES, GRAVEMOOR_OUT } = process.env;
const engine = process.argv[2] || "chromium";
const PROMPT = "enter your name... below\n";
const FIRST = `welcome to the gravemoor variant by tolvane\n\n${PROMPT}`;

const missing = [EXECUTABLES[engine], ...(engine === "webkit" && !process.env.DISPLAY ? ["/usr/bin/xvfb-run"] : [])].filter((file) => !existsSync(file));
if (missing.length) {
  const inCi = process.env.CI === "true";
  console.log(`${missing.join(" and ")} missing: ${inCi ? "failing under CI" : "skipped"}`);
  process.exit(inCi ? 1 : 77);
}
// WebKitGTK draws into an X display even when nobody looks.
if (engine === "webkit" && !process.env.DISPLAY) {
  const again = spawnSync("/usr/bin/xvfb-run", ["-a", process.execPath, ...process.argv.slice(1)], { stdio: "inherit" });
  process.exit(again.status ?? 1);
}

const pageUrl = pathToFileURL(GRAVEMOOR_PAGE).href;
const enc = (text) => encodeURIComponent(text);

// What a terminal shows: the game's output with the typed text echoed after
// the prompt, where the game waits for it (it writes nothing while it
// reads). `typed` is the input as typed (a string or bytes).
function terminalScreen(seed, typed) {
  const run = spawnSync(GRAVEMOOR_NATIVE, [seed], { input: typed });
  assert.equal(run.status, 0, `native game for seed ${JSON.stringify(seed)}`);
  const at = run.stdout.indexOf(PROMPT) + PROMPT.length;
  assert.equal(run.stdout.subarray(0, at).toString(), FIRST);
  return Buffer.concat([run.stdout.subarray(0, at), Buffer.from(typed), run.stdout.subarray(at)]).toString();
}

const screen = (tab) => tab.run(() => document.getElementById("log").textContent);
const ended = (tab) => tab.waitFor(() => !document.getElementById("result").hidden);
// The page's state where a player looks: the focus, the address, the field,
// the fault, the note and the result.
const state = (tab) =>
  tab.run(() => {
    const $ = (id) => document.getElementById(id);
    const shown = (id) => ($(id).hidden ? "" : $(id).textContent);
    return { active: document.activeElement.id, hash: location.hash, title: document.title, field: $("line").value, fieldShown: !$("line").hidden, fault: shown("fault"), note: shown("note"), href: $("link").getAttribute("href"), outcome: $("outcome").textContent, status: $("outcome").title };
  });
async function atPrompt(tab) {
  await tab.waitFor(
    (prompt) =>
      performance.getEntriesByName("gravemoor-start").length &&
      document.activeElement === document.getElementById("line") &&
      document.getElementById("log").textContent.endsWith(prompt),
    PROMPT,
  );
}
// The seed by keyboard: into the field, everything selected, typed, Enter.
async function playSeed(tab, seed) {
  await tab.run(() => {
    document.getElementById("seed").focus();
    document.getElementById("seed").select();
  });
  if (seed) await tab.type(seed);
  else await tab.press("Backspace");
  await tab.press("Enter");
  await atPrompt(tab);
}
// Opens `address`, waits for the game's end and holds its screen to the
// native game's terminal for `typed`; resolves to the tab.
async function replays(address, seed, typed, options) {
  const tab = await browser.open(`${pageUrl}${address}`, options);
  await ended(tab);
  assert.equal(await screen(tab), terminalScreen(seed, typed), address.slice(0, 100));
  return tab;
}

let browser;
before(async () => (browser = await launch(engine, GRAVEMOOR_NODE_MODULES)));
after(async () => {
  for (const note of browser.notes) console.log(`${engine}: ${note}`);
  await browser.close();
});

test("the prompt is in the first screen, painted before the game's script starts", async (t) => {
  // In the file as written: the first screen is the terminal's text, and
  // nothing but the boot script, the last thing in the body, runs before
  // the page has been read (the game's script is text until then).
  const html = readFileSync(GRAVEMOOR_PAGE, "utf8");
  assert.ok(html.match(/<pre id="log"[^>]*>([^<]*)<\/pre>/)[1].endsWith(PROMPT));
  const scripts = [...html.matchAll(/<script\b([^>]*)>/g)];
  assert.deepEqual(scripts.slice(0, -1).map((s) => s[1]), [' type="text/plain" id="game"']);
  assert.equal(scripts.at(-1)[1], "");
  assert.match(html.slice(scripts.at(-1).index), /^<script>[^<]*<\/script>\n<\/body>/);
  assert.doesNotMatch(html, /\son[a-z]+=/i, "no event handler attributes");
  const unchecked = new Set();
  for (const [width, height] of [[320, 568], [720, 900]]) {
    const tab = await browser.open(`${pageUrl}#seed=0`, { width, height });
    await atPrompt(tab);
    const paint = await tab.run(() =>
      new Promise((resolve) => {
        const fcp = performance.getEntriesByName("first-contentful-paint")[0]?.startTime;
        const start = performance.getEntriesByName("gravemoor-start")[0].startTime;
        const marked = document.querySelector("[elementtiming=prompt]");
        const layout = { bottom: document.getElementById("log").getBoundingClientRect().bottom, high: innerHeight, block: getComputedStyle(marked).display, holds: marked.contains(document.getElementById("log")) };
        if (!PerformanceObserver.supportedEntryTypes.includes("element")) return resolve({ fcp, start, layout });
        // (A hang detector: the entry is there long before.)
        setTimeout(() => resolve({ fcp, start, layout, element: null }), 10000);
        new PerformanceObserver((list) => resolve({ fcp, start, layout, element: list.getEntries().find((e) => e.identifier === "prompt")?.renderTime ?? null })).observe({ type: "element", buffered: true });
      }),
    );
    assert.ok(paint.layout.bottom <= paint.layout.high, `${width} px: the prompt ends at ${paint.layout.bottom} px of ${paint.layout.high}`);
    assert.deepEqual([paint.layout.block, paint.layout.holds], ["block", true], "element timing marks a block that paints the prompt");
    if (paint.fcp === undefined) unchecked.add(`${engine} reports no first contentful paint: the order of paint and script is not checked`);
    else assert.ok(paint.start >= paint.fcp, `the script started at ${paint.start} ms, before the first paint at ${paint.fcp} ms`);
    if (paint.element === undefined) unchecked.add(`${engine} has no element timing: the prompt's paint is not compared with the first paint`);
    else assert.equal(paint.element, paint.fcp, "the prompt is painted in the first contentful paint");
    await tab.close();
  }
  for (const why of unchecked) t.diagnostic(why);
});

test("games played by keyboard show what a terminal shows, and their links replay them", async () => {
  const tab = await browser.open(`${pageUrl}#seed=0`);
  await atPrompt(tab);
  assert.equal(await screen(tab), FIRST);
  // Seeds read as the command line reads them; names typed with one slip
  // put right with Backspace; blank lines first; a line longer than a
  // read and than a name; bytes beyond ASCII; text after the name.
  const games = [
    { seed: "1", lines: ["Bob"] },
    { seed: "127706", lines: ["Dee"] },
    { seed: "abc", lines: ["", "", "  Gus"] },
    { seed: "-5", lines: ["C".repeat(300)] },
    { seed: "2147483648", lines: ["Hal Ivy"] },
    { seed: "", lines: ["Zoë"] },
  ];
  for (const { seed, lines } of games) {
    await playSeed(tab, seed);
    for (const [i, line] of lines.entries()) {
      await tab.type(`${line}x`);
      await tab.press("Backspace");
      if (line.length > 80) {
        // A long line wraps at the 80th column while typed, as its echo does.
        const field = await tab.run(() => {
          const field = document.getElementById("line");
          const column = document.getElementById("screen").getBoundingClientRect().width / 80.5;
          return [field.getBoundingClientRect().width / column, field.clientHeight / parseFloat(getComputedStyle(field).lineHeight), field.scrollHeight - field.clientHeight, field.scrollWidth - field.clientWidth];
        });
        assert.deepEqual(field.map(Math.round), [80, Math.ceil(line.length / 80), 0, 0], "the field's columns, rows, hidden height and hidden width");
      }
      await tab.press("Enter");
      if (i < lines.length - 1) {
        await tab.waitFor((n) => document.getElementById("log").textContent.endsWith("below\n" + "\n".repeat(n)), i + 1);
        assert.equal((await state(tab)).fieldShown, true, "a blank line keeps the game waiting");
      }
    }
    await ended(tab);
    const typed = lines.map((line) => `${line}\n`).join("");
    const expected = terminalScreen(seed, typed);
    assert.equal(await screen(tab), expected, `seed ${JSON.stringify(seed)}`);
    const end = await state(tab);
    assert.deepEqual([end.active, end.hash, end.title, end.status], ["again", end.href, `gravemoor: seed ${seed || `""`}`, "exit status 0"], "focus on Play again, the address is the game's link");
    assert.match(end.outcome, /^Your fighter (fell to|slew) the lizardman/);
    // The link, opened afresh, shows the same terminal byte for byte.
    await (await replays(end.href, seed, typed)).close();
  }
  // Ctrl-D after text hands the text over and the game waits for more;
  // Ctrl-D again ends the input. At an empty prompt it goes nameless.
  await playSeed(tab, "7");
  await tab.type("Bob");
  await tab.press("d", { ctrl: true });
  await tab.waitFor(() => document.getElementById("log").textContent.endsWith("below\nBob"));
  assert.equal((await state(tab)).hash, "#seed=7&name=Bob&open");
  await tab.press("d", { ctrl: true });
  await ended(tab);
  assert.equal(await screen(tab), terminalScreen("7", "Bob"));
  assert.ok((await screen(tab)).includes("\nBobBob - this is your fighters name"));
  assert.equal((await state(tab)).hash, "#seed=7&name=Bob&end");
  await (await replays("#seed=7&name=Bob&end", "7", "Bob")).close();
  await playSeed(tab, "5");
  await tab.press("d", { ctrl: true });
  await ended(tab);
  assert.equal(await screen(tab), terminalScreen("5", ""));
  // Play again by keyboard: a new game, at its prompt.
  await tab.press("Enter");
  await atPrompt(tab);
  assert.equal(await screen(tab), FIRST);
  assert.deepEqual(tab.errors, []);
  await tab.close();
});

test("a paste is typed line by line, and typing goes on after selecting the terminal's text", async () => {
  const tab = await browser.open(`${pageUrl}#seed=4`);
  await atPrompt(tab);
  const paste = (text) =>
    tab.run((text) => {
      // (Firefox copies no data from the DataTransfer given: set it after.)
      const paste = new ClipboardEvent("paste", { clipboardData: new DataTransfer(), bubbles: true, cancelable: true });
      paste.clipboardData.setData("text/plain", text);
      document.getElementById("line").dispatchEvent(paste);
    }, text);
  // A blank line is entered; the text after the last break waits in the field.
  await paste("\r\nAn");
  await tab.waitFor(() => document.getElementById("log").textContent.endsWith("below\n\n"));
  assert.equal((await state(tab)).field, "An");
  await tab.run(() => (document.getElementById("line").value = ""));
  await paste("Ann\nBob\n");
  await ended(tab);
  assert.equal(await screen(tab), terminalScreen("4", "\nAnn\n"), "Ann's game, with no key pressed");
  await playSeed(tab, "5");
  await tab.run(() => {
    document.activeElement.blur();
    getSelection().selectAllChildren(document.getElementById("log"));
  });
  await tab.type("Ann");
  await tab.press("Enter");
  await ended(tab);
  assert.equal(await screen(tab), terminalScreen("5", "Ann\n"));
  await tab.close();
});

test("every game updates the address and the history; back, forward and reload replay", async () => {
  const tab = await browser.open(`${pageUrl}#seed=3`);
  await atPrompt(tab);
  // A half-typed name does not survive into the next game.
  await tab.type("Zed");
  await tab.run(() => (location.hash = "#seed=4"));
  await atPrompt(tab);
  const four = await state(tab);
  assert.deepEqual([four.field, four.title], ["", "gravemoor: seed 4"]);
  await tab.type("Kim");
  await tab.press("Enter");
  await ended(tab);
  assert.equal(await screen(tab), terminalScreen("4", "Kim\n"));
  await playSeed(tab, "9");
  assert.equal((await state(tab)).hash, "#seed=9");
  await tab.type("Ann");
  await tab.press("Enter");
  await ended(tab);
  assert.equal((await state(tab)).hash, "#seed=9&name=Ann");
  await tab.run(() => history.back());
  await tab.waitFor(() => location.hash === "#seed=4&name=Kim" && document.title === "gravemoor: seed 4" && !document.getElementById("result").hidden);
  assert.equal(await screen(tab), terminalScreen("4", "Kim\n"));
  await tab.run(() => history.forward());
  await tab.waitFor(() => document.title === "gravemoor: seed 9" && !document.getElementById("result").hidden);
  assert.equal(await screen(tab), terminalScreen("9", "Ann\n"));
  await tab.run(() => {
    window.beforeReload = true;
    setTimeout(() => location.reload());
  });
  await tab.waitFor(() => !window.beforeReload && document.readyState === "complete" && !document.getElementById("result").hidden);
  assert.equal(await screen(tab), terminalScreen("9", "Ann\n"));
  // No marks pile up from game to game.
  assert.ok(await tab.run(() => performance.getEntriesByType("mark").length <= 2));
  await tab.close();
});

test("links are bounded: a line, a link's typing and a seed; the link shown is cut", async () => {
  // A 1 MiB name: the page plays what the game reads of it and says so.
  // Firefox takes no address longer than 1 MiB as a whole: there the name
  // fills what is left of it.
  const prefix = `#seed=42&name=`;
  const length = engine === "firefox" ? (1 << 20) - pageUrl.length - prefix.length - 1024 : 1 << 20;
  const huge = await replays(`${prefix}${"A".repeat(length)}`, "42", `${"A".repeat(51)}\n`);
  const bound = await state(huge);
  assert.equal(bound.hash, `#seed=42&name=${"A".repeat(51)}`);
  assert.match(bound.note, /4,096 bytes a line.*at most 51 bytes of a name/);
  await huge.close();
  // Blank lines never use up a name's room, in a link or typed after one;
  // the link of such a game is shown cut, on one line, with an ellipsis.
  const blank = "%0A".repeat(4200);
  const blanks = await replays(`#seed=1&name=${blank}Ann`, "1", `${"\n".repeat(4200)}Ann\n`);
  const shown = await blanks.run(() => {
    const link = document.getElementById("link");
    return { text: link.textContent, high: link.getBoundingClientRect().height, line: parseFloat(getComputedStyle(link).lineHeight) || 24 };
  });
  assert.equal(shown.text.length, 200);
  assert.ok(shown.text.endsWith("…") && shown.high <= shown.line * 1.5, JSON.stringify(shown));
  await blanks.close();
  const open = await browser.open(`${pageUrl}#seed=1&name=${blank}&open`);
  await open.waitFor(() => document.activeElement.id === "line" && !document.getElementById("line").readOnly && document.getElementById("log").textContent.endsWith("\n\n"));
  await open.type("Ann");
  await open.press("Enter");
  await ended(open);
  assert.equal(await screen(open), terminalScreen("1", `${"\n".repeat(4200)}Ann\n`));
  await open.close();
  // A long seed plays as the number it reads as; a seed past what the page
  // reads is cut before it is decoded, and a note says so; control
  // characters never reach the title.
  const seed = ` 12${"9".repeat(200)}`;
  const long = await replays(`#seed=${enc(seed)}&name=Ann`, seed, "Ann\n");
  const reduced = await long.run(() => document.getElementById("seed").value);
  assert.equal(terminalScreen(reduced, "Ann\n"), terminalScreen(seed, "Ann\n"), "the same game");
  assert.match((await state(long)).note, /the same game/);
  await long.close();
  const endless = await browser.open(`${pageUrl}#seed=${"7".repeat(length)}`);
  await atPrompt(endless);
  assert.equal((await state(endless)).title, `gravemoor: seed ${(await endless.run(() => document.getElementById("seed").value))}`);
  assert.match((await state(endless)).note, /longer than the 4,096 bytes that the page reads of it/);
  await endless.close();
  const control = await browser.open(`${pageUrl}#seed=%00%1B1%7F`);
  await atPrompt(control);
  assert.equal((await state(control)).title, "gravemoor: seed ^@^[1^?");
  await control.close();
  // Any byte goes through a link, a line break included, as text.
  const bytes = Buffer.from([10, 32, 0xff, 0xc3, 0xa9, 0x3c, 0x2f, 0x70, 0x72, 0x65, 0x3e, 10]);
  const odd = await replays("#seed=8&name=%0A%20%FF%C3%A9%3C%2Fpre%3E", "8", bytes);
  assert.equal(await odd.run(() => document.querySelectorAll("#log *").length), 0, "text, never markup");
  await odd.close();
});

test("legible from 320 px and at any zoom: 80 columns that scroll in their own box", async (t) => {
  const measure = (tab) =>
    tab.run(() => {
      const log = document.getElementById("log");
      const terminal = document.getElementById("terminal");
      const result = document.getElementById("result").getBoundingClientRect();
      return {
        page: document.documentElement.scrollWidth,
        viewport: document.documentElement.clientWidth,
        lines: log.textContent.split("\n").length - 1,
        boxes: new Set([...log.getClientRects()].map((rect) => Math.round(rect.top))).size,
        overflow: terminal.scrollWidth - terminal.clientWidth,
        scrolls: getComputedStyle(terminal).overflowX,
        font: parseFloat(getComputedStyle(log).fontSize),
        resultInView: result.top >= 0 && result.bottom <= innerHeight,
        linkHeight: document.getElementById("link").getBoundingClientRect().height,
        lineHeight: parseFloat(getComputedStyle(document.getElementById("link")).lineHeight) || 24,
      };
    });
  const fonts = {};
  for (const [width, zoom] of [[320, 1], [360, 1], [720, 1], [1280, 1], [360, 2]]) {
    if (zoom > 1 && !browser.zooms) {
      t.diagnostic(`${engine}: the driver cannot zoom, so growth with zoom is not checked`);
      continue;
    }
    const tab = await browser.open(`${pageUrl}#seed=127706&name=Ann`, { width, height: 800 / zoom, zoom });
    await ended(tab);
    const layout = await measure(tab);
    const at = `${width} px ×${zoom}`;
    // (A window may not get as narrow as asked: WebKitGTK's stops at ~450 px.)
    if (layout.viewport !== width) t.diagnostic(`${at}: the viewport is ${layout.viewport} px`);
    assert.ok(layout.page <= layout.viewport, `${at}: the page is ${layout.page} px wide in ${layout.viewport}`);
    assert.ok(layout.font >= 11, `${at}: the text is ${layout.font} px`);
    // Where 80 columns do not fit, the terminal scrolls in its own box.
    assert.ok(layout.overflow <= 0 || layout.scrolls === "auto", `${at}: the terminal overflows by ${layout.overflow} px`);
    if (layout.viewport >= 720) assert.ok(layout.overflow <= 0, `${at}: 80 columns fit`);
    // One line box a line of text: none of the game's lines wrapped.
    assert.ok(layout.boxes <= layout.lines + 1, `${at}: ${layout.boxes} line boxes for ${layout.lines} lines`);
    assert.ok(layout.resultInView, `${at}: the result is in view`);
    assert.ok(layout.linkHeight <= layout.lineHeight * 1.5, `${at}: the link is on one line`);
    fonts[`${width}x${zoom}`] = layout.font * zoom;
    await tab.close();
  }
  // Typing past the terminal's visible columns scrolls it along: the
  // browser brings the caret into view in a box that scrolls (Firefox after
  // the keystroke, hence the wait).
  const narrow = await browser.open(`${pageUrl}#seed=1`, { width: 320, height: 800 });
  await atPrompt(narrow);
  await narrow.type("x".repeat(70));
  await narrow.waitFor(() => {
    const line = document.getElementById("line").getBoundingClientRect();
    const box = document.getElementById("terminal").getBoundingClientRect();
    const x = line.left + (70 * line.width) / 80;
    return x >= box.left && x <= box.right;
  });
  await narrow.close();
  // 200 % zoom of a 720 px window: 360 CSS px at two device pixels each.
  if (fonts["360x2"]) assert.ok(fonts["360x2"] >= 1.9 * fonts["720x1"], `zoomed: ${fonts["360x2"]} device px against ${fonts["720x1"]}`);
});

test("keyboard alone, with visible focus", async () => {
  const tab = await browser.open(`${pageUrl}#seed=11`);
  await atPrompt(tab);
  await tab.run(() => document.getElementById("seed").focus());
  const seen = [];
  for (let i = 0; i < 5; i++) {
    if (i) await tab.press("Tab");
    const focus = await tab.run(() => {
      const active = document.activeElement;
      const ring = active.id === "line" ? document.getElementById("terminal") : active;
      const style = getComputedStyle(ring);
      return { id: active.id || active.tagName, outline: style.outlineStyle !== "none" && parseFloat(style.outlineWidth) >= 2 };
    });
    seen.push(focus.id);
    assert.ok(focus.outline, `focus on ${focus.id} is visible`);
  }
  for (const id of ["seed", "random", "line", "end"]) assert.ok(seen.includes(id), `Tab reaches ${id}: ${seen}`);
  await tab.close();
});

test("faults are announced, true and recovered; fallbacks without WebAssembly or JavaScript", async (t) => {
  if (engine === "webkit") return t.skip("WebDriver runs no script before the page's in WebKit");
  const alert = (tab) => tab.run(() => document.getElementById("fault").getAttribute("role"));
  // No WebAssembly, or a module that does not compile: said at once, before
  // any typing, with the focus on the message and no field to type into.
  for (const before of [() => delete window.WebAssembly, () => (WebAssembly.compile = () => Promise.reject(new Error("bad module")))]) {
    const tab = await browser.open(`${pageUrl}#seed=1`, { before });
    await tab.waitFor(() => !document.getElementById("fault").hidden);
    const now = await state(tab);
    assert.deepEqual([now.active, now.fieldShown, await alert(tab)], ["fault", false, "alert"]);
    assert.match(now.fault, /cannot run WebAssembly|could not compile the game's WebAssembly \(bad module\)/);
    assert.equal(await screen(tab), FIRST);
    await tab.close();
  }
  // The module traps on its first run, then plays: the typed line is back
  // in the field with the focus, and the message goes once a game runs.
  const trapOnce = () => {
    const instantiate = WebAssembly.instantiate;
    WebAssembly.instantiate = async (...args) => {
      WebAssembly.instantiate = instantiate;
      const { exports } = await instantiate(...args);
      return {
        exports: {
          memory: exports.memory,
          _start() {
            throw new WebAssembly.RuntimeError("unreachable");
          },
        },
      };
    };
  };
  const typed = await browser.open(`${pageUrl}#seed=1`, { before: trapOnce });
  await atPrompt(typed);
  await typed.type("Ann Lee");
  await typed.press("Enter");
  await typed.waitFor(() => !document.getElementById("fault").hidden);
  let now = await state(typed);
  assert.deepEqual([now.active, now.field, now.hash], ["line", "Ann Lee", "#seed=1"]);
  assert.match(now.fault, /went wrong.*\(unreachable\)\. What you typed is back in the field/);
  await typed.press("Enter");
  await ended(typed);
  assert.equal((await state(typed)).fault, "", "the message goes once a game runs");
  assert.equal(await screen(typed), terminalScreen("1", "Ann Lee\n"));
  await typed.close();
  // A link's game: back at its prompt, and the name typed next is played.
  const linked = await browser.open(`${pageUrl}#seed=1&name=Ann`, { before: trapOnce });
  await atPrompt(linked);
  now = await state(linked);
  assert.deepEqual([now.active, now.field, now.hash], ["line", "", "#seed=1"]);
  assert.match(now.fault, /replaying this link's typing\. The game is back at its prompt/);
  await linked.type("Bob");
  await linked.press("Enter");
  await ended(linked);
  assert.equal(await screen(linked), terminalScreen("1", "Bob\n"));
  await linked.close();
  if (engine !== "chromium") return t.diagnostic(`${engine}: the page without JavaScript is tried in Chromium only`);
  const off = await browser.open(`${pageUrl}#seed=1`, { javaScript: false });
  assert.deepEqual(
    await off.run(() => [
      document.getElementById("log").textContent.endsWith("below\n"),
      getComputedStyle(document.getElementById("controls")).display,
      /JavaScript/.test(document.querySelector("main").textContent),
    ]),
    [true, "none", true],
  );
  await off.close();
});

test("axe finds no violation, at the prompt and after a game, light and dark", async (t) => {
  let dark = true;
  const axe = readFileSync(join(GRAVEMOOR_NODE_MODULES, "axe-core", "axe.min.js"), "utf8");
  for (const address of ["#seed=6", "#seed=127706&name=Ann"]) {
    for (const scheme of ["light", "dark"]) {
      const tab = await browser.open(`${pageUrl}${address}`);
      if (!(await tab.scheme(scheme)) && scheme === "dark") {
        dark = false;
        await tab.close();
        continue;
      }
      await (address.includes("name") ? ended(tab) : atPrompt(tab));
      await tab.inject(axe); // the test's own script, which the page's policy would refuse
      const violations = await tab.run(async () => {
        const { violations } = await window.axe.run(document);
        return violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(" ")).join(", ")}`);
      });
      assert.deepEqual(violations, [], `${address} ${scheme}`);
      // Non-text contrast, which axe leaves to people: the borders of the
      // fields, buttons and terminal against the page, at least 3:1.
      const contrasts = await tab.run(() => {
        const luminance = (color) => {
          const [r, g, b] = color.match(/[\d.]+/g).slice(0, 3).map((v) => {
            const c = v / 255;
            return c <= 0.03928 ? c / 12.92 : ((c + 0.055) / 1.055) ** 2.4;
          });
          return 0.2126 * r + 0.7152 * g + 0.0722 * b;
        };
        const paper = luminance(getComputedStyle(document.body).backgroundColor);
        return [...document.querySelectorAll("#seed, button, #terminal")].map((element) => {
          const edge = luminance(getComputedStyle(element).borderTopColor);
          return [element.id || element.textContent, (Math.max(edge, paper) + 0.05) / (Math.min(edge, paper) + 0.05)];
        });
      });
      for (const [what, ratio] of contrasts) assert.ok(ratio >= 3, `${scheme}: the border of ${what} has ${ratio.toFixed(2)}:1`);
      await tab.close();
    }
  }
  if (!dark) t.diagnostic(`${engine}: the driver cannot set the dark scheme, so axe tries the light one only`);
});

test("screenshots after a game at 320 px, 720 px and 720 px zoomed to 200 %, light and dark", { skip: engine !== "chromium" && "saved in Chromium only" }, async (t) => {
  for (const [width, zoom] of [[320, 1], [720, 1], [360, 2]]) {
    for (const scheme of ["light", "dark"]) {
      const tab = await browser.open(`${pageUrl}#seed=42&name=Ann%20Lee`, { width, height: 900 / zoom, zoom });
      await tab.scheme(scheme);
      await ended(tab);
      const path = join(GRAVEMOOR_OUT, `gravemoor-${width * zoom}${zoom > 1 ? "-zoom" : ""}-${scheme}.png`);
      await tab.screenshot(path);
      t.diagnostic(`saved ${path}`);
      await tab.close();
    }
  }
});

test("nothing is fetched: the page carries all it needs", async () => {
  const tab = await browser.open(`${pageUrl}#seed=2&name=Ann`);
  await ended(tab);
  assert.deepEqual(await tab.run(() => performance.getEntriesByType("resource").map((r) => r.name)), []);
  if (browser.requests) assert.deepEqual(browser.requests.filter((url) => !url.startsWith(pageUrl) && !url.startsWith("file:") && url !== "about:blank"), []);
  await tab.close();
});
