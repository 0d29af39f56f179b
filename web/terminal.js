// What the page's terminal shows and what its links carry, apart from the
// browser, so that the tests run it under Node against the module itself.

// The longest line a game takes, in bytes with its line break: the line
// buffer of a Linux terminal (4,095 characters and the break). The page's
// field holds no more, and a longer line of a link is cut to what the game
// reads of it. As on a terminal the bound is a line's, not a game's.
export const LINE_MAX = 4096;
// The most of a link's typing the page reads, in bytes: room for many lines
// before a name, while a link of any length costs the page no more.
export const LINK_MAX = 65536;
// The longest seed a link or the seed field gives as it is. A seed is read
// as a number that wraps at 2^32, so a longer one is replaced by the number
// it reads as, which plays the same game; 64 characters leave room for any
// such number with blanks and words around it, in a title or a field.
export const SEED_MAX = 64;
// The most of a link's seed the page reads, in bytes: far more than any
// seed typed in the field (SEED_MAX), and the decoding stops there.
export const SEED_LINK_MAX = 4096;
// The game keeps at most 51 bytes of a name (52 with the terminator).
export const NAME_MAX = 51;

const isSpace = (byte) => byte === 32 || (byte >= 9 && byte <= 13);
// 4096 as 4,096; not toLocaleString, whose first call loads the browser's
// locale data for tens of milliseconds.
const grouped = (n) => String(n).replace(/\B(?=(\d{3})+$)/g, ",");

// The seed that the game reads in `text`: blanks, one sign, decimal digits
// modulo 2^32, then the absolute value read as a signed 32-bit number.
export function parseSeed(text) {
  let i = 0;
  while (i < text.length && isSpace(text.charCodeAt(i))) i++;
  const negative = text[i] === "-";
  if (text[i] === "+" || text[i] === "-") i++;
  let value = 0;
  for (; i < text.length && text[i] >= "0" && text[i] <= "9"; i++) {
    value = (Math.imul(value, 10) + text.charCodeAt(i) - 48) >>> 0;
  }
  if (negative) value = (0 - value) >>> 0;
  if (value & 0x80000000) value = (0 - value) >>> 0;
  return String(value);
}

// Bounds a seed: one of SEED_MAX characters or fewer is kept as it is.
export function boundSeed(seed) {
  return seed.length <= SEED_MAX ? seed : parseSeed(seed);
}

// How many bytes of `input` the game reads for the name: the blanks and
// line breaks before it, the name up to NAME_MAX bytes, and the blank that
// ends a shorter one.
export function readByGame(input) {
  let i = 0;
  while (i < input.length && isSpace(input[i])) i++;
  const start = i;
  while (i < input.length && i - start < NAME_MAX && !isSpace(input[i])) i++;
  return i - start < NAME_MAX && i < input.length ? i + 1 : i;
}

// The name that the game keeps of `input`, and whether the typed one was longer.
export function nameOf(input) {
  let start = 0;
  while (start < input.length && isSpace(input[start])) start++;
  let end = start;
  while (end < input.length && !isSpace(input[end])) end++;
  return { name: input.subarray(start, Math.min(end, start + NAME_MAX)), longer: end - start > NAME_MAX };
}

// Bytes as a link writes them: letters, digits and -._~ as they are, all
// else as %XX, so that any byte, a line break included, goes through.
export function encodeBytes(bytes) {
  let out = "";
  for (const byte of bytes) {
    const c = String.fromCharCode(byte);
    out += /[A-Za-z0-9._~-]/.test(c) ? c : `%${byte.toString(16).toUpperCase().padStart(2, "0")}`;
  }
  return out;
}

// The bytes of a link's `text`, %XX and + decoded, stopping once there are
// more than `limit`: a link can be any length, and the page never reads
// more of it than that. It reads `text` only through charCodeAt, at most
// three characters a byte.
export function decodeBytes(text, limit = Infinity) {
  const out = [];
  const hex = (c) => (c >= 48 && c <= 57 ? c - 48 : c >= 65 && c <= 70 ? c - 55 : c >= 97 && c <= 102 ? c - 87 : NaN);
  for (let i = 0; i < text.length && out.length <= limit; i++) {
    const c = text.charCodeAt(i);
    const byte = c === 37 ? hex(text.charCodeAt(i + 1)) * 16 + hex(text.charCodeAt(i + 2)) : NaN;
    if (byte >= 0) {
      out.push(byte);
      i += 2;
    } else if (c < 128) {
      out.push(c === 43 ? 32 : c);
    } else {
      // UTF-8, as TextEncoder writes it: a lone surrogate becomes U+FFFD.
      let point = c >= 0xd800 && c < 0xe000 ? 0xfffd : c;
      const low = text.charCodeAt(i + 1);
      if (c < 0xdc00 && low >= 0xdc00 && low < 0xe000) {
        point = 0x10000 + ((c - 0xd800) << 10) + (low - 0xdc00);
        i++;
      }
      if (point < 0x800) out.push(0xc0 | (point >> 6), 0x80 | (point & 63));
      else if (point < 0x10000) out.push(0xe0 | (point >> 12), 0x80 | ((point >> 6) & 63), 0x80 | (point & 63));
      else out.push(0xf0 | (point >> 18), 0x80 | ((point >> 12) & 63), 0x80 | ((point >> 6) & 63), 0x80 | (point & 63));
    }
  }
  return Uint8Array.from(out);
}

// Cuts each line of `bytes` to LINE_MAX bytes with its break, as a
// terminal's line buffer does; `open` is the length of the line already
// begun before `bytes`. A character is never cut in two.
export function capLines(bytes, open = 0) {
  const out = [];
  let start = 0;
  while (start < bytes.length) {
    let end = bytes.indexOf(10, start);
    const lineBreak = end >= 0;
    if (!lineBreak) end = bytes.length;
    let cut = Math.min(end, start + Math.max(0, LINE_MAX - 1 - open));
    while (cut < end && cut > start && (bytes[cut] & 0xc0) === 0x80) cut--;
    out.push(...bytes.subarray(start, cut));
    if (lineBreak) out.push(10);
    start = end + 1;
    open = 0;
  }
  return Uint8Array.from(out);
}

// A seed as a title shows it: quoted when blank, control characters in
// caret notation (^@ for NUL), as a terminal echoes them.
export function seedTitle(seed) {
  const shown = seed.replace(/[\x00-\x1f\x7f]/g, (c) => `^${String.fromCharCode(c.charCodeAt(0) ^ 64)}`).replace(/[\x80-\x9f]/g, "\uFFFD");
  return `gravemoor: seed ${seed.trim() ? shown : `"${shown}"`}`;
}

// A game's address: its seed and everything typed. A name is typed and then
// Enter pressed; `end` says the input ended there instead (Ctrl-D), `open`
// that it was handed over without a line break and the game waits for more.
export function gameAddress({ seed, input, ended }) {
  let address = `#seed=${encodeBytes(new TextEncoder().encode(seed))}`;
  if (ended) return `${address}&name=${encodeBytes(input)}&end`;
  if (input.length === 0) return address;
  if (input[input.length - 1] === 10) return `${address}&name=${encodeBytes(input.subarray(0, input.length - 1))}`;
  return `${address}&name=${encodeBytes(input)}&open`;
}

// Reads an address as gameAddress writes it, within the bounds above.
// Returns {seed, input, ended, notes}; seed is null when the address has
// none, and notes says in words what was cut and why.
export function readAddress(hash) {
  const fields = new Map();
  for (const part of hash.replace(/^#/, "").split("&")) {
    const at = part.indexOf("=");
    const key = at < 0 ? part : part.slice(0, at);
    if (!fields.has(key)) fields.set(key, at < 0 ? "" : part.slice(at + 1));
  }
  const notes = [];
  let seed = null;
  if (fields.has("seed")) {
    const bytes = decodeBytes(fields.get("seed"), SEED_LINK_MAX);
    seed = new TextDecoder().decode(bytes.subarray(0, SEED_LINK_MAX)).replace(/\uFFFD$/, "");
    const cut = bytes.length > SEED_LINK_MAX;
    if (cut || seed.length > SEED_MAX) {
      const short = boundSeed(seed);
      notes.push(
        cut
          ? `This link's seed is longer than the ${grouped(SEED_LINK_MAX)} bytes that the page reads of it; the page plays its first ${grouped(SEED_LINK_MAX)} as seed ${short}.`
          : `This link's seed is ${grouped(seed.length)} characters long, more than the ${SEED_MAX} that the page takes; the game reads it as ${short}, so it plays as seed ${short}, the same game.`,
      );
      seed = short;
    }
  }
  let input = new Uint8Array(0);
  let ended = false;
  if (fields.has("name")) {
    const name = decodeBytes(fields.get("name"), LINK_MAX);
    ended = fields.has("end");
    const open = !ended && fields.has("open");
    input = ended || open ? name : concat(name, [10]);
    const capped = capLines(input);
    if (input.length > LINK_MAX || capped.length < input.length) {
      // The game never reads past its name: play what it reads, then Enter.
      input = capped.subarray(0, Math.min(readByGame(capped), LINK_MAX - 1));
      if (input[input.length - 1] !== 10) input = concat(input, [10]);
      ended = false;
      notes.push(`This link's name is longer than the page takes (${grouped(LINE_MAX)} bytes a line, ${grouped(LINK_MAX)} in all), and the game reads at most ${NAME_MAX} bytes of a name: the page plays what the game reads of it.`);
    }
  }
  return { seed, input, ended, notes };
}

export function concat(a, b) {
  const both = new Uint8Array(a.length + b.length);
  both.set(a);
  both.set(b, a.length);
  return both;
}

// The terminal's screen after a run of the game on `input`: the game's
// output with each typed line echoed whole, line break and all, where the
// game was when it read the first byte of that line; a terminal echoes a
// line as it is typed, and here each is typed while the game waits for it.
// Lines the game never reached are not on the screen. `run` is runGame's
// result, whose reads say where each piece of input was read.
export function screenOf({ stdout, reads }, input) {
  const parts = [];
  let from = 0; // output shown so far
  let offset = 0; // input read so far
  let echoed = 0; // input echoed so far
  for (const { at, bytes } of reads) {
    if (offset + bytes.length > echoed) {
      let end = input.indexOf(10, offset + bytes.length - 1);
      end = end < 0 ? input.length : end + 1;
      parts.push(stdout.subarray(from, at), input.subarray(echoed, end));
      from = at;
      echoed = end;
    }
    offset += bytes.length;
  }
  parts.push(stdout.subarray(from));
  return parts.reduce((screen, part) => concat(screen, part), new Uint8Array(0));
}

// How much of `input` is on the screen: every line that the game's reads
// reached, whole (the game may stop reading within a line).
export function echoed({ reads }, input) {
  const read = reads.reduce((sum, { bytes }) => sum + bytes.length, 0);
  if (read === 0) return 0;
  const end = input.indexOf(10, read - 1);
  return end < 0 ? input.length : end + 1;
}

// The end of a game in a player's words, from the game's own text.
export function outcome(text) {
  const died = text.includes("\nthe fighter died sadly.");
  const foe = text.includes("\nyou enter deadly combat with a snow ape")
    ? "the snow ape"
    : text.includes("\nyou enter close range contact") ? "the bat" : null;
  const wins = text.split("vanquished hooray!\n").length - 1;
  if (!foe) return wins ? "Your fighter slew the lizardman and died of the wounds." : "Your fighter fell to the lizardman.";
  if (!died) return `Your fighter slew the lizardman, then ${foe}, and lived.`;
  if (wins === 2) return `Your fighter slew the lizardman, then ${foe}, and died of the wounds.`;
  return `Your fighter slew the lizardman, then fell to ${foe}.`;
}
