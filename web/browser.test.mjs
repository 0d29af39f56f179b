// The page in a real browser engine, named by the first argument: chromium,
// firefox or webkit (see browsers.mjs). It opens gravemoor.html from
// file://, plays games with the keyboard alone as a player would, holds the
// terminal to what a real terminal shows for the native game of the same
// tree, follows and crafts links, and checks the layout, the fallbacks and
// accessibility (axe-core). In Chromium it also measures the time to the
// prompt against a blank page and saves the screenshots.
//
// Exits 77 (skipped) without the browser, except under CI, where that fails.
import assert from "node:assert/strict";
import { spawnSync } from "node:child_process";
import { existsSync, readFileSync, statSync, writeFileSync } from "node:fs";
import { createRequire } from "node:module";
import { join } from "node:path";
import { pathToFileURL } from "node:url";
import { EXECUTABLES, launch } from "./browsers.mjs";

const { GRAVEMOOR_NATIVE, GRAVEMOOR_PAGE, GRAVEMOOR_NODE_MODULES, GRAVEMOOR_OUT } = process.env;
const engine = process.argv[2] || "chromium";
const PROMPT = "enter your name... below\n";

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
// reads). `typed` is the input as typed, `ended` adds the end of input.
function terminalScreen(seed, typed, ended = false) {
  const run = spawnSync(GRAVEMOOR_NATIVE, [seed], { input: typed, encoding: "utf8" });
  assert.equal(run.status, 0, `native game for seed ${JSON.stringify(seed)}`);
  assert.ok(run.stdout.startsWith(`welcome to the gravemoor variant by tolvane\n\n${PROMPT}`));
  const at = run.stdout.indexOf(PROMPT) + PROMPT.length;
  return run.stdout.slice(0, at) + typed + run.stdout.slice(at);
}

const screen = (tab) => tab.run(() => document.getElementById("log").textContent);
const ended = (tab) => tab.waitFor(() => !document.getElementById("result").hidden);
async function atPrompt(tab) {
  await tab.waitFor(
    (prompt) =>
      performance.getEntriesByName("gravemoor-start").length &&
      document.activeElement === document.getElementById("line") &&
      document.getElementById("log").textContent.endsWith(prompt),
    PROMPT,
  );
  assert.equal(await tab.run(() => document.activeElement.id), "line", "the name field has the focus at the prompt");
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

const browser = await launch(engine, GRAVEMOOR_NODE_MODULES);
const results = [];
const report = [];
const enterToEnd = [];
async function check(name, body) {
  try {
    await body();
    results.push([name, null]);
  } catch (error) {
    results.push([name, error]);
    console.log(`FAILED ${name}\n${String(error.stack).slice(0, 3000)}`);
  }
}

try {
  // First, while the browser is fresh and nothing else runs in it.
  await check("the prompt at first paint, against a blank page of the same size", async () => {
    // The blank page: as many bytes as the game's page, one dot of text.
    const size = statSync(GRAVEMOOR_PAGE).size;
    const head = "<!doctype html><html lang=en><meta charset=utf-8><title>blank</title><p>.</p><!--";
    const blank = join(GRAVEMOOR_OUT, "blank.html");
    writeFileSync(blank, `${head}${"-".repeat(size - head.length - 3)}-->`);
    // When the prompt was drawn: its element's render time where the engine
    // reports element timing, else the first contentful paint (the prompt is
    // in the page's text, so in its first paint), else the first frame.
    const painted = () =>
      new Promise((resolve) => {
        const paint = () => {
          const fcp = performance.getEntriesByName("first-contentful-paint")[0];
          const frame = performance.getEntriesByName("gravemoor-first-frame")[0];
          resolve(fcp ? ["first-contentful-paint", fcp.startTime] : frame ? ["first frame", frame.startTime] : ["load", performance.getEntriesByType("navigation")[0]?.loadEventEnd]);
        };
        if (!("PerformanceElementTiming" in window) || !document.querySelector("[elementtiming]")) return setTimeout(paint, 100);
        new PerformanceObserver((list) => {
          const entry = list.getEntries().find((e) => e.identifier === "prompt");
          if (entry) resolve(["element timing", entry.renderTime || entry.loadTime]);
        }).observe({ type: "element", buffered: true });
        setTimeout(paint, 1000);
      });
    const median = (list) => {
      const sorted = [...list].sort((a, b) => a - b);
      return (sorted[4] + sorted[5]) / 2;
    };
    // Ten opens of each, interleaved, after two of each unmeasured (the
    // browser's first pages warm its caches and processes). The machine is
    // shared, so a round that misses the goal is measured once more, and
    // both rounds are printed.
    const round = async (number) => {
      const times = { page: [], blank: [] };
      const how = {};
      for (let i = -2; i < 10; i++) {
        // Each first in turn, so that neither always follows the other.
        const pair = [["page", `${pageUrl}#seed=${i}`], ["blank", pathToFileURL(blank).href]];
        for (const [which, url] of i % 2 ? pair.reverse() : pair) {
          const tab = await browser.open(url);
          const [method, at] = await tab.run(painted);
          how[which] = method;
          if (i >= 0) times[which].push(at);
          await tab.close();
        }
      }
      const ratio = median(times.page) / median(times.blank);
      report.push(
        `round ${number}: navigation start -> prompt on screen (${how.page}), 10 opens: median ${median(times.page).toFixed(1)} ms [${times.page.map((t) => t.toFixed(0)).join(" ")}]`,
        `round ${number}: navigation start -> first paint of a blank page of ${size} bytes (${how.blank}): median ${median(times.blank).toFixed(1)} ms [${times.blank.map((t) => t.toFixed(0)).join(" ")}]`,
        `round ${number}: prompt / blank page: ${ratio.toFixed(2)} (goal at most 1.2, held in Chromium)`,
      );
      return ratio;
    };
    let ratio = await round(1);
    if (ratio > 1.2 && engine === "chromium") ratio = await round(2);
    if (engine === "chromium") assert.ok(ratio <= 1.2, `ratio ${ratio.toFixed(2)}`);
  });

  await check("games played by keyboard show what a terminal shows, and their links replay them", async () => {
    const tab = await browser.open(`${pageUrl}#seed=0`);
    await atPrompt(tab);
    assert.equal(await screen(tab), `welcome to the gravemoor variant by tolvane\n\n${PROMPT}`);
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
        await tab.press("Enter");
        if (i < lines.length - 1) {
          await tab.waitFor((n) => document.getElementById("log").textContent.endsWith("below\n" + "\n".repeat(n)), i + 1);
          assert.equal(await tab.run(() => document.getElementById("line").hidden), false, "a blank line keeps the game waiting");
        }
      }
      await ended(tab);
      enterToEnd.push(await tab.run(() => ["gravemoor-end", "gravemoor-enter"].map((name) => performance.getEntriesByName(name)[0].startTime).reduce((end, enter) => end - enter)));
      const typed = lines.map((line) => `${line}\n`).join("");
      const expected = terminalScreen(seed, typed);
      assert.equal(await screen(tab), expected, `seed ${JSON.stringify(seed)}`);
      const after = await tab.run(() => ({
        active: document.activeElement.id,
        hash: location.hash,
        title: document.title,
        href: document.getElementById("link").getAttribute("href"),
        outcome: document.getElementById("outcome").textContent,
        status: document.getElementById("outcome").title,
      }));
      assert.equal(after.active, "again", "focus on Play again at the end");
      assert.equal(after.hash, after.href, "the address is the game's link");
      assert.equal(after.title, `gravemoor: seed ${seed || `""`}`);
      assert.equal(after.status, "exit status 0");
      assert.match(after.outcome, /^Your fighter (fell to|slew) the lizardman/);
      // The link, opened afresh, shows the same terminal byte for byte.
      const replay = await browser.open(`${pageUrl}${after.href}`);
      await ended(replay);
      assert.equal(await screen(replay), expected, `replay of ${after.href}`);
      await replay.close();
    }
    report.push(`Enter -> the game's last line on screen: ${enterToEnd.map((t) => t.toFixed(1)).join(" ")} ms`);
    // Ctrl-D after text hands the text over and the game waits for more;
    // Ctrl-D again ends the input. At an empty prompt it goes nameless.
    await playSeed(tab, "7");
    await tab.type("Bob");
    await tab.press("d", { ctrl: true });
    await tab.waitFor(() => document.getElementById("log").textContent.endsWith("below\nBob"));
    assert.equal(await tab.run(() => location.hash), "#seed=7&name=Bob&open");
    await tab.press("d", { ctrl: true });
    await ended(tab);
    assert.equal(await screen(tab), terminalScreen("7", "Bob"));
    assert.ok((await screen(tab)).includes("\nBobBob - this is your fighters name"));
    const href = await tab.run(() => location.hash);
    assert.equal(href, "#seed=7&name=Bob&end");
    const replay = await browser.open(`${pageUrl}${href}`);
    await ended(replay);
    assert.equal(await screen(replay), terminalScreen("7", "Bob"));
    await replay.close();
    await playSeed(tab, "5");
    await tab.press("d", { ctrl: true });
    await ended(tab);
    assert.equal(await screen(tab), terminalScreen("5", ""));
    // Play again by keyboard: a new game, at its prompt.
    await tab.press("Enter");
    await atPrompt(tab);
    assert.equal(await screen(tab), `welcome to the gravemoor variant by tolvane\n\n${PROMPT}`);
    assert.deepEqual(tab.errors, []);
    await tab.close();
  });

  await check("every game updates the address and the history; back, forward and reload replay", async () => {
    const tab = await browser.open(`${pageUrl}#seed=3`);
    await atPrompt(tab);
    // A half-typed name does not survive into the next game.
    await tab.type("Zed");
    await tab.run(() => (location.hash = "#seed=4"));
    await atPrompt(tab);
    assert.equal(await tab.run(() => [document.getElementById("line").value, document.title].join("|")), "|gravemoor: seed 4");
    await tab.type("Kim");
    await tab.press("Enter");
    await ended(tab);
    const four = await screen(tab);
    assert.equal(four, terminalScreen("4", "Kim\n"));
    await playSeed(tab, "9");
    assert.equal(await tab.run(() => location.hash), "#seed=9");
    await tab.type("Ann");
    await tab.press("Enter");
    await ended(tab);
    assert.equal(await tab.run(() => location.hash), "#seed=9&name=Ann");
    await tab.run(() => history.back());
    await tab.waitFor(() => location.hash === "#seed=4&name=Kim" && document.title === "gravemoor: seed 4" && !document.getElementById("result").hidden);
    assert.equal(await screen(tab), four);
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
    assert.ok(await tab.run(() => performance.getEntriesByType("mark").length <= 4));
    await tab.close();
  });

  await check("links that cannot hurt: a 1 MiB name settles at once, long seeds and names are bounded", async () => {
    // Firefox takes no address longer than 1 MiB as a whole: there the
    // name fills what is left of it.
    const prefix = `${pageUrl}#seed=42&name=`;
    const length = engine === "firefox" ? (1 << 20) - prefix.length - 1024 : 1 << 20;
    const started = Date.now();
    const tab = await browser.open(`${prefix}${"A".repeat(length)}`);
    await ended(tab);
    // The page's own part: from its script's start to the game's end. The
    // browser's part before it, taking in the long address, is its own.
    const [start, end] = await tab.run(() => ["gravemoor-start", "gravemoor-end"].map((name) => performance.getEntriesByName(name)[0].startTime));
    report.push(`${length}-byte name link: the page settled ${(end - start).toFixed(0)} ms after its script started, ${end.toFixed(0)} ms after navigation began (${Date.now() - started} ms with the driver)`);
    assert.ok(end - start < 200, `${end - start} ms`);
    const page = await tab.run(() => ({
      wide: document.documentElement.scrollWidth,
      high: document.documentElement.scrollHeight,
      hash: location.hash,
      note: document.getElementById("note").textContent,
      link: document.getElementById("link").getBoundingClientRect().height,
      past: [...document.querySelectorAll("body *")].filter((e) => e.getBoundingClientRect().right > innerWidth).map((e) => `${e.id || e.tagName} ${e.getBoundingClientRect().right}`),
    }));
    assert.ok(page.wide <= 720 && page.high < 3000, JSON.stringify(page));
    assert.equal(page.hash, `#seed=42&name=${"A".repeat(51)}`);
    assert.match(page.note, /at most 51 bytes of a name/);
    assert.equal(await screen(tab), terminalScreen("42", `${"A".repeat(51)}\n`));
    await tab.close();

    const seed = ` 12${"9".repeat(200)}`;
    const long = await browser.open(`${pageUrl}#seed=${enc(seed)}&name=Ann`);
    await ended(long);
    const reduced = await long.run(() => document.getElementById("seed").value);
    assert.equal(await screen(long), terminalScreen(reduced, "Ann\n"));
    assert.equal(terminalScreen(seed, "Ann\n"), terminalScreen(reduced, "Ann\n"), "the same game");
    assert.match(await long.run(() => document.getElementById("note").textContent), /the same game/);
    await long.close();

    // Any byte goes through a link, a line break included.
    const odd = await browser.open(`${pageUrl}#seed=8&name=%0A%20%FF%C3%A9%3C%2Fpre%3E`);
    await ended(odd);
    const bytes = Buffer.from([10, 32, 0xff, 0xc3, 0xa9, 0x3c, 0x2f, 0x70, 0x72, 0x65, 0x3e, 10]);
    const native = spawnSync(GRAVEMOOR_NATIVE, ["8"], { input: bytes });
    const at = native.stdout.indexOf(PROMPT) + PROMPT.length;
    const expected = new TextDecoder().decode(Buffer.concat([native.stdout.subarray(0, at), bytes, native.stdout.subarray(at)]));
    assert.equal(await screen(odd), expected);
    assert.equal(await odd.run(() => document.querySelectorAll("#log *").length), 0, "text, never markup");
    await odd.close();
  });

  await check("a terminal of 80 columns from 320 px up: no wrapped line, no sideways scrolling", async () => {
    for (const width of [320, 360, 720, 1280]) {
      const tab = await browser.open(`${pageUrl}#seed=127706&name=Ann`, { width, height: 800 });
      await ended(tab);
      const layout = await tab.run(() => {
        const log = document.getElementById("log");
        const terminal = document.getElementById("terminal");
        const result = document.getElementById("result").getBoundingClientRect();
        return {
          page: document.documentElement.scrollWidth,
          viewport: document.documentElement.clientWidth,
          lines: log.textContent.split("\n").length - 1,
          boxes: new Set([...log.getClientRects()].map((rect) => Math.round(rect.top))).size,
          overflow: terminal.scrollWidth - terminal.clientWidth,
          resultInView: result.top >= 0 && result.bottom <= innerHeight,
          linkHeight: document.getElementById("link").getBoundingClientRect().height,
          lineHeight: parseFloat(getComputedStyle(document.getElementById("link")).lineHeight) || 24,
        };
      });
      // (A window may not get as narrow as asked: WebKitGTK's stops at ~450 px.)
      if (layout.viewport !== width) report.push(`layout: asked for ${width} px, the viewport is ${layout.viewport} px`);
      assert.ok(layout.page <= layout.viewport, `${width} px: the page is ${layout.page} px wide in ${layout.viewport}`);
      assert.ok(layout.overflow <= 0, `${width} px: the terminal overflows by ${layout.overflow} px`);
      // One line box a line of text: none of the game's lines wrapped.
      assert.ok(layout.boxes <= layout.lines + 1, `${width} px: ${layout.boxes} line boxes for ${layout.lines} lines`);
      assert.ok(layout.resultInView, `${width} px: the result is in view`);
      assert.ok(layout.linkHeight <= layout.lineHeight * 1.5, `${width} px: the link is on one line`);
      await tab.close();
    }
  });

  await check("keyboard alone, with visible focus", async () => {
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

  await check("fallbacks: no WebAssembly, a fault in the module, no JavaScript", async () => {
    if (engine === "webkit") return report.push("fallbacks: not tried in WebKit (WebDriver runs no script before the page's)");
    const bare = await browser.open(`${pageUrl}#seed=1`, { before: () => delete window.WebAssembly });
    await bare.waitFor(() => !document.getElementById("note").hidden);
    assert.deepEqual(
      await bare.run(() => [document.activeElement.id, /cannot run WebAssembly/.test(document.getElementById("note").textContent), document.getElementById("log").textContent.length > 0]),
      ["note", true, true],
    );
    await bare.close();
    // The module traps on its first run after the prompt.
    const faulty = await browser.open(`${pageUrl}#seed=1`, {
      before: () => {
        WebAssembly.instantiate = async () => ({
          exports: {
            memory: new WebAssembly.Memory({ initial: 1 }),
            _start() {
              throw new WebAssembly.RuntimeError("unreachable");
            },
          },
        });
      },
    });
    await atPrompt(faulty);
    await faulty.type("Ann Lee");
    await faulty.press("Enter");
    await faulty.waitFor(() => !document.getElementById("note").hidden);
    assert.deepEqual(
      await faulty.run(() => [document.activeElement.id, document.getElementById("line").value, /went wrong/.test(document.getElementById("note").textContent)]),
      ["line", "Ann Lee", true],
    );
    await faulty.close();
    if (engine !== "chromium") return;
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

  await check("axe finds no violation, at the prompt and after a game, light and dark", async () => {
    const axe = readFileSync(join(GRAVEMOOR_NODE_MODULES, "axe-core", "axe.min.js"), "utf8");
    const schemes = [];
    for (const address of ["#seed=6", "#seed=127706&name=Ann"]) {
      for (const scheme of ["light", "dark"]) {
        const tab = await browser.open(`${pageUrl}${address}`);
        if (!(await tab.scheme(scheme)) && scheme === "dark") {
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
        schemes.push(scheme);
        await tab.close();
      }
    }
    report.push(`axe: no violation (${schemes.length / 2 === 2 ? "light and dark" : "light only: the engine's driver cannot set the scheme"}, at the prompt and after a game)`);
  });

  if (engine === "chromium") {
    await check("screenshots after a game at 320, 720 and 1280 px, light and dark", async () => {
      const saved = [];
      for (const width of [320, 720, 1280]) {
        for (const scheme of ["light", "dark"]) {
          const tab = await browser.open(`${pageUrl}#seed=42&name=Ann%20Lee`, { width, height: 900 });
          await tab.scheme(scheme);
          await ended(tab);
          const path = join(GRAVEMOOR_OUT, `gravemoor-${width}-${scheme}.png`);
          await tab.screenshot(path);
          saved.push(path);
          await tab.close();
        }
      }
      report.push(`screenshots: ${saved.join(" ")}`);
    });
  }

  await check("nothing is fetched: the page carries all it needs", async () => {
    const tab = await browser.open(`${pageUrl}#seed=2&name=Ann`);
    await ended(tab);
    assert.deepEqual(await tab.run(() => performance.getEntriesByType("resource").map((r) => r.name)), []);
    if (browser.requests) assert.deepEqual(browser.requests.filter((url) => !url.startsWith(pageUrl) && !url.startsWith("file:") && url !== "about:blank"), []);
    await tab.close();
  });
} finally {
  await browser.close();
}

for (const line of report) console.log(`${engine}: ${line}`);
const failed = results.filter(([, error]) => error).length;
console.log(`${engine}: ${results.length - failed} passed, ${failed} failed`);
process.exit(failed ? 1 : 0);
