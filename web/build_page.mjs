// Puts the page together as one file: the template with its style and its
// script inline, the script bundled and minified by esbuild with the module
// inside it in base64.
//   node build_page.mjs NODE_MODULES GRAVEMOOR_WASM OUTPUT_HTML
import { readFileSync, writeFileSync } from "node:fs";
import { createRequire } from "node:module";
import { dirname, join } from "node:path";
import { fileURLToPath } from "node:url";

const [nodeModules, wasmPath, outputPath] = process.argv.slice(2);
const here = dirname(fileURLToPath(import.meta.url));
// The packages are installed in the build directory, not beside this file.
const esbuild = createRequire(join(nodeModules, "/"))("esbuild");

const script = esbuild.buildSync({
  entryPoints: [join(here, "page.js")],
  bundle: true,
  minify: true,
  format: "iife",
  target: "es2020",
  write: false,
  define: { GRAVEMOOR_WASM: JSON.stringify(readFileSync(wasmPath).toString("base64")) },
}).outputFiles[0].text;
const style = esbuild.transformSync(readFileSync(join(here, "style.css"), "utf8"), {
  loader: "css",
  minify: true,
}).code;

// A "</script" inside the script would end it early.
if (/<\/script/i.test(script)) throw new Error("the bundled script contains </script");
const page = readFileSync(join(here, "gravemoor.html"), "utf8")
  .replace("/*STYLE*/", () => style.trim())
  .replace("/*SCRIPT*/", () => script.trim());
writeFileSync(outputPath, page);
