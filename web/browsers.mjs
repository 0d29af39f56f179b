// One small interface over the three engines the page is tried in, all
// Debian's own browsers: Chromium and Firefox ESR driven by puppeteer-core
// (over the DevTools protocol and WebDriver BiDi), and WebKitGTK's
// MiniBrowser driven by selenium-webdriver through WebKitWebDriver (which
// needs an X display: run under xvfb-run).
//
// launch(engine) resolves to {name, zooms, notes, open(url, options), close()}:
// `zooms` says whether open's `zoom` (a device pixel ratio, as the browser's
// zoom sets it) is honoured, `notes` what the engine's driver lacks. A tab has
// run(fn, ...args), inject(script), waitFor(fn, ...args), press(key, {ctrl, shift}),
// type(text), scheme(light|dark) (false where the
// engine cannot emulate it), screenshot(path), close() and errors (what the
// page threw, where the engine tells).
import { spawn } from "node:child_process";
import { createRequire } from "node:module";
import { createServer } from "node:net";
import { join } from "node:path";

export const EXECUTABLES = {
  chromium: "/usr/bin/chromium",
  // Another Firefox ESR (one unpacked from an older package, say) by its path.
  firefox: process.env.GRAVEMOOR_FIREFOX || "/usr/bin/firefox-esr",
  webkit: "/usr/bin/WebKitWebDriver",
};
const MINIBROWSER = "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser";

export async function launch(engine, nodeModules) {
  const require = createRequire(join(nodeModules, "/"));
  return engine === "webkit" ? launchWebKit(require("selenium-webdriver")) : launchPuppeteer(engine, require("puppeteer-core"));
}

async function launchPuppeteer(engine, puppeteer) {
  const browser = await puppeteer.launch({
    browser: engine === "firefox" ? "firefox" : "chrome",
    executablePath: EXECUTABLES[engine],
    headless: true,
    args:
      engine === "chromium"
        ? ["--no-sandbox", "--disable-gpu", "--disable-background-networking", "--disable-component-update", "--no-first-run", "--disable-sync"]
        : [],
  });
  const requests = [];
  const notes = new Set();
  // Puppeteer sets a viewport over WebDriver BiDi with two commands, the
  // second a screen orientation that older Firefox ESR releases do not
  // know: there the viewport alone is set, and a note says why.
  const setViewport = async (page, width, height, zoom) => {
    try {
      await page.setViewport({ width, height, deviceScaleFactor: zoom });
    } catch (error) {
      if (!/setScreenOrientationOverride.*unknown command/s.test(error.message)) throw error;
      notes.add(`this Firefox answers "unknown command" to emulation.setScreenOrientationOverride: viewports are set without a screen orientation`);
      await page.mainFrame().browsingContext.setViewport({ viewport: { width, height }, devicePixelRatio: zoom });
    }
  };
  return {
    name: engine,
    requests,
    zooms: true,
    notes,
    async open(url, { width = 720, height = 900, zoom = 1, before, javaScript = true } = {}) {
      const page = await browser.newPage();
      const errors = [];
      page.on("pageerror", (error) => errors.push(error.message));
      page.on("request", (request) => requests.push(request.url()));
      await setViewport(page, width, height, zoom);
      if (!javaScript) await page.setJavaScriptEnabled(false);
      if (before) await page.evaluateOnNewDocument(before);
      await page.goto(url);
      const keys = { Enter: "Enter", Backspace: "Backspace", Tab: "Tab", d: "d" };
      return {
        errors,
        run: (fn, ...args) => page.evaluate(fn, ...args),
        inject: (source) => page.evaluate(source),
        waitFor: (fn, ...args) => poll((...a) => page.evaluate(...a), fn, args),
        async press(key, { ctrl = false, shift = false } = {}) {
          if (ctrl) await page.keyboard.down("Control");
          if (shift) await page.keyboard.down("Shift");
          await page.keyboard.press(keys[key]);
          if (shift) await page.keyboard.up("Shift");
          if (ctrl) await page.keyboard.up("Control");
        },
        type: (text) => page.keyboard.type(text),
        async scheme(value) {
          if (engine !== "chromium") return false; // not over BiDi yet
          await page.emulateMediaFeatures([{ name: "prefers-color-scheme", value }]);
          return true;
        },
        screenshot: (path) => page.screenshot({ path }),
        close: () => page.close(),
      };
    },
    close: () => browser.close(),
  };
}

// Waits until `fn` run in the page is true, asking again and again: the
// drivers' own waits run a function made from text in the page, which an
// older Firefox's BiDi lets the page's policy refuse. A page that is
// unloading (a reload) answers with an error: ask again. The deadline only
// catches a hang: every wait here is over in well under a second.
async function poll(run, fn, args) {
  const deadline = Date.now() + 30000;
  for (;;) {
    const value = await run(fn, ...args).catch(() => false);
    if (value) return value;
    if (Date.now() > deadline) throw new Error(`timed out waiting for ${fn}`);
    await new Promise((resolve) => setTimeout(resolve, 20));
  }
}

async function freePort() {
  return new Promise((resolve) => {
    const server = createServer().listen(0, "127.0.0.1", () => {
      const { port } = server.address();
      server.close(() => resolve(port));
    });
  });
}

async function launchWebKit({ Builder, Key }) {
  const port = await freePort();
  const driverProcess = spawn(EXECUTABLES.webkit, [`--port=${port}`, "--host=127.0.0.1"], { stdio: "ignore" });
  let driver = null;
  for (let tries = 0; !driver; tries++) {
    try {
      driver = await new Builder()
        .usingServer(`http://127.0.0.1:${port}`)
        .withCapabilities({
          browserName: "MiniBrowser",
          "webkitgtk:browserOptions": { binary: MINIBROWSER, args: ["--automation"] },
        })
        .build();
    } catch (error) {
      if (tries > 40) throw error;
      await new Promise((resolve) => setTimeout(resolve, 250));
    }
  }
  const keys = { Enter: Key.ENTER, Backspace: Key.BACK_SPACE, Tab: Key.TAB, d: "d" };
  const asScript = (fn, args) => `return (${fn})(...${JSON.stringify(args)});`;
  // One window: each open navigates it afresh (about:blank in between, so
  // that a link to the same page is a new load, not a change of fragment).
  return {
    name: "webkit",
    requests: null,
    zooms: false,
    notes: new Set(),
    async open(url, { width = 720, height = 900 } = {}) {
      await driver.manage().window().setRect({ width, height });
      await driver.get("about:blank");
      await driver.get(url);
      const run = (fn, ...args) => driver.executeScript(asScript(fn, args));
      return {
        errors: [],
        run,
        inject: (source) => driver.executeScript(source),
        waitFor: (fn, ...args) => poll(run, fn, args),
        async press(key, { ctrl = false, shift = false } = {}) {
          let actions = driver.actions();
          if (ctrl) actions = actions.keyDown(Key.CONTROL);
          if (shift) actions = actions.keyDown(Key.SHIFT);
          actions = actions.sendKeys(keys[key]);
          if (shift) actions = actions.keyUp(Key.SHIFT);
          if (ctrl) actions = actions.keyUp(Key.CONTROL);
          await actions.perform();
        },
        type: (text) => driver.actions().sendKeys(text).perform(),
        scheme: async () => false,
        async screenshot(path) {
          const { writeFileSync } = await import("node:fs");
          writeFileSync(path, Buffer.from(await driver.takeScreenshot(), "base64"));
        },
        close: async () => {},
      };
    },
    async close() {
      await driver.quit();
      driverProcess.kill();
    },
  };
}
