// How fast the page shows, against a blank page opened beside it: a report,
// never a verdict. Run after the wasm workflow:
//   node web/bench.mjs [BUILD_DIR [ENGINE [N]]]
// (defaults build/wasm, chromium, 21). Opens, interleaved, N times each
// after two unmeasured opens of each:
// - the prompt: the page at its prompt (the prompt's element timing where
//   the engine has it, else the first contentful paint) against the first
//   contentful paint of a blank page of the same size;
// - the 1 MiB link: the page given a link with a 1 MiB name, until the
//   game's end is on screen, against the blank page given the same address.
// Prints the median, the spread (min, quartiles, max), n and the load
// average before and after, and writes them to BUILD_DIR/bench-page.json.
import { spawnSync } from "node:child_process";
import { readFileSync, statSync, writeFileSync } from "node:fs";
import { loadavg } from "node:os";
import { join, resolve } from "node:path";
import { pathToFileURL } from "node:url";
import { launch } from "./browsers.mjs";

const [build = "build/wasm", engine = "chromium", count = "21"] = process.argv.slice(2);
if (engine === "webkit" && !process.env.DISPLAY) {
  const again = spawnSync("xvfb-run", ["-a", process.execPath, ...process.argv.slice(1)], { stdio: "inherit" });
  process.exit(again.status ?? 1);
}
const n = Number(count);
const pagePath = resolve(build, "gravemoor.html");
const page = pathToFileURL(pagePath).href;
const size = statSync(pagePath).size;
// The blank page: as many bytes as the game's page, one dot of text.
const head = "<!doctype html><html lang=en><meta charset=utf-8><title>blank</title><p>.</p><!--";
const blankPath = resolve(build, "blank.html");
writeFileSync(blankPath, `${head}${"-".repeat(size - head.length - 3)}-->`);
const blank = pathToFileURL(blankPath).href;
// Firefox takes no address longer than 1 MiB as a whole.
const name = "A".repeat(engine === "firefox" ? (1 << 20) - page.length - 1024 : 1 << 20);

// Milliseconds from navigation start to `what` in the open tab.
const when = (tab, what) =>
  tab.run(
    (what) =>
      new Promise((done) => {
        const poll = () => {
          const fcp = performance.getEntriesByName("first-contentful-paint")[0]?.startTime;
          const end = performance.getEntriesByName("gravemoor-end")[0]?.startTime;
          const value = what === "end" ? end : fcp;
          if (value === undefined) return setTimeout(poll, 10);
          done([what === "end" ? "the game's end" : "first contentful paint", value]);
        };
        if (what !== "prompt" || !PerformanceObserver.supportedEntryTypes.includes("element")) return poll();
        new PerformanceObserver((list) => {
          const entry = list.getEntries().find((e) => e.identifier === "prompt");
          if (entry) done(["the prompt's element timing", entry.renderTime]);
        }).observe({ type: "element", buffered: true });
      }),
    what,
  );

const browser = await launch(engine, resolve(build, "web/npm/node_modules"));
const load = { before: loadavg() };
const runs = {
  prompt: { page: [`${page}#seed=1`, "prompt"], blank: [blank, "paint"] },
  link: { page: [`${page}#seed=42&name=${name}`, "end"], blank: [`${blank}#seed=42&name=${name}`, "paint"] },
};
const results = {};
try {
  for (const [bench, pair] of Object.entries(runs)) {
    const times = { page: [], blank: [] };
    const how = {};
    for (let i = -2; i < n; i++) {
      // Each first in turn, so that neither always follows the other.
      const order = i % 2 ? ["page", "blank"] : ["blank", "page"];
      for (const which of order) {
        const [url, what] = pair[which];
        const tab = await browser.open(url);
        const [method, at] = await when(tab, what);
        how[which] = method;
        if (i >= 0) times[which].push(at);
        await tab.close();
      }
    }
    results[bench] = Object.fromEntries(Object.entries(times).map(([which, list]) => [which, { what: how[which], ...summary(list) }]));
    results[bench].ratio = results[bench].page.median / results[bench].blank.median;
  }
} finally {
  await browser.close();
}
load.after = loadavg();

function summary(list) {
  const sorted = [...list].sort((a, b) => a - b);
  const at = (q) => {
    const i = (sorted.length - 1) * q;
    return sorted[Math.floor(i)] + (sorted[Math.ceil(i)] - sorted[Math.floor(i)]) * (i - Math.floor(i));
  };
  return { n: sorted.length, median: at(0.5), min: sorted[0], q1: at(0.25), q3: at(0.75), max: sorted.at(-1) };
}

const ms = (t) => t.toFixed(1);
console.log(`${engine}, ${size}-byte page, load average ${load.before.map((l) => l.toFixed(2)).join(" ")} before, ${load.after.map((l) => l.toFixed(2)).join(" ")} after`);
for (const [bench, { page: p, blank: b, ratio }] of Object.entries(results)) {
  console.log(`${bench === "prompt" ? "the prompt" : `the ${name.length}-byte link`}, ms from navigation start, n=${p.n} each:`);
  for (const [label, s] of [["page", p], ["blank", b]]) {
    console.log(`  ${label.padEnd(5)} median ${ms(s.median)}  spread ${ms(s.min)} [${ms(s.q1)} ${ms(s.q3)}] ${ms(s.max)}  (${s.what})`);
  }
  console.log(`  page / blank: ${ratio.toFixed(2)}`);
}
const out = join(build, "bench-page.json");
writeFileSync(out, `${JSON.stringify({ engine, pageBytes: size, linkBytes: name.length, load, ...results }, null, 2)}\n`);
console.log(`written to ${out}`);
