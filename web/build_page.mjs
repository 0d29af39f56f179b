// Puts the page together as one file: the template with its style and its
// script inline, the script bundled and minified by esbuild with the module
// inside it in base64, and the game's first screen already on the terminal.
//   node build_page.mjs NODE_MODULES GRAVEMOOR_WASM OUTPUT_HTML
import { readFileSync, writeFileSync } from "node:fs";
import { createRequire } from "node:module";
import { dirname, join } from "node:path";
import { fileURLToPath } from "node:url";
import { compileGame, runGame } from "./wasi.js";

const [nodeModules, wasmPath, outputPath] = process.argv.slice(2);
const here = dirname(fileURLToPath(import.meta.url));
// The packages are installed in the build directory, not beside this file.
const esbuild = createRequire(join(nodeModules, "/"))("esbuild");
const wasm = readFileSync(wasmPath);

const script = esbuild.buildSync({
  entryPoints: [join(here, "page.js")],
  bundle: true,
  minify: true,
  format: "iife",
  target: "es2020",
  write: false,
  define: { GRAVEMOOR_WASM: JSON.stringify(wasm.toString("base64")) },
}).outputFiles[0].text;
const style = esbuild.transformSync(readFileSync(join(here, "style.css"), "utf8"), {
  loader: "css",
  minify: true,
}).code;

// What the game writes before it waits for the name: the same for every
// seed (the dice are rolled, but nothing of them is shown before the name).
const first = await runGame(await compileGame(wasm), {
  args: ["gravemoor", "0"],
  input: new Uint8Array(0),
  inputEnded: false,
});
if (first.status !== null) throw new Error(`the game did not wait for the name (status ${first.status})`);
const escape = (text) => text.replace(/&/g, "&amp;").replace(/</g, "&lt;").replace(/>/g, "&gt;");
const screen = escape(new TextDecoder().decode(first.stdout));

// Starts the game's script once the first screen is on screen, so that
// nothing competes with that paint: at the first contentful paint where the
// engine reports paints, else after the first frame; at once in a hidden
// tab, which paints nothing. The script's text is inline, so
// 'unsafe-inline' lets it run as a script element of its own.
const boot = esbuild.transformSync(
  `let booted = false;
  const boot = () => {
    if (booted) return;
    booted = true;
    const script = document.createElement("script");
    script.textContent = document.getElementById("game").textContent;
    document.body.append(script);
  };
  const hidden = () => document.visibilityState === "hidden" && boot();
  document.addEventListener("visibilitychange", hidden);
  if (!hidden()) {
    if (PerformanceObserver.supportedEntryTypes?.includes("paint")) {
      new PerformanceObserver((list, observer) => {
        if (!list.getEntriesByName("first-contentful-paint").length) return;
        observer.disconnect();
        setTimeout(boot);
      }).observe({ type: "paint", buffered: true });
    } else requestAnimationFrame(() => setTimeout(boot));
  }`,
  { minify: true },
).code;

// A "</script" inside the script would end it early.
if (/<\/script/i.test(script)) throw new Error("the bundled script contains </script");
const page = readFileSync(join(here, "gravemoor.html"), "utf8")
  .replace("/*STYLE*/", () => style.trim())
  .replace("<!--SCREEN-->", () => screen)
  .replace("/*SCRIPT*/", () => script.trim())
  .replace("/*BOOT*/", () => boot.trim());
writeFileSync(outputPath, page);
console.log(`${outputPath}: ${Buffer.byteLength(page)} bytes, the module ${wasm.length} bytes of them before base64`);
