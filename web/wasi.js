// Runs one game of the WebAssembly build: the few WASI preview 1 calls that
// the module imports (wasi-libc asks for no more for this game; the page's
// conformance test lists them), on memory only.
//
// All three standard descriptors behave as a terminal that never makes the
// game wait: a read hands out input, finds the end or stops the run, and a
// write takes everything. So fd_seek says ESPIPE, as on a terminal or a
// pipe, and poll_oneoff, which the game calls only after a read or a write
// said EAGAIN (never here), finds every descriptor ready.
//
// Why our own lines and not a WASI shim from npm: a shim brings a file
// system, clocks and a dozen calls the game never makes, a few times the
// size of this file in the page, and it would still need a standard input
// of our own, since the one thing the browser needs here is not in any shim:
// a read that finds no input yet.
//
// How a game meets the browser: a page cannot block in a read. But the text
// before the name does not depend on the name and a whole game takes
// microseconds, so the game is run until its read finds no input; what it
// wrote up to then (the welcome and the prompt) is shown; and once the line
// is entered the game runs again from the start with that line as its input.
// Each run is a fresh instance of the module, so no state survives between
// runs, and the same seed plays the same game, line for line.

// WASI error numbers (wasi_snapshot_preview1 errno).
const SUCCESS = 0;
const BADF = 8;
const SPIPE = 70;
const FILETYPE_CHARACTER_DEVICE = 2;
// Only reading or writing: a descriptor with the right to seek or tell is no
// terminal to wasi-libc.
const RIGHT_FD_READ = 1n << 1n;
const RIGHT_FD_WRITE = 1n << 6n;

// Thrown out of the module to stop a run: the game exited, or its read found
// no input yet. Throwing unwinds the WebAssembly stack at once.
class Stop {
  constructor(status) {
    this.status = status;
  }
}
const WAITING = new Stop(null);

// Compiles the module once; every run instantiates it afresh.
export function compileGame(bytes) {
  return WebAssembly.compile(bytes);
}

// Runs the game compiled in `module` with the arguments `args` (strings;
// the first is the program's name) and `input` (a Uint8Array of what was
// typed so far). With `inputEnded` a read past the input finds the end of
// input, as from a pipe; without it the run stops there, waiting.
// `failWrites`, a WASI error number, fails every write to standard output
// (how the page would meet a full disk; for tests).
//
// Resolves to {status, stdout, stderr, reads}: status is the exit status,
// or null when the game waits for more input; stdout and stderr are
// Uint8Arrays; reads lists each piece of input handed to the game as
// {at, bytes}, `at` being the length of stdout at that moment, so that a
// terminal's screen (output with the typed text echoed where it was typed)
// can be put together (terminal.js).
export async function runGame(module, { args, input, inputEnded, failWrites = 0 }) {
  const encoder = new TextEncoder();
  const argv = args.map((arg) => encoder.encode(arg + "\0"));
  const stdout = new Sink();
  const stderr = new Sink();
  const reads = [];
  let consumed = 0;
  let memory = null;
  const view = () => new DataView(memory.buffer);
  const bytes = (pointer, length) => new Uint8Array(memory.buffer, pointer, length);

  // Calls each (pointer, length) of the iovec array at `iovs` with `count`
  // entries: the layout of fd_read's and fd_write's buffers.
  const eachBuffer = (iovs, count, visit) => {
    let total = 0;
    for (let i = 0; i < count; i++) {
      const pointer = view().getUint32(iovs + 8 * i, true);
      const length = view().getUint32(iovs + 8 * i + 4, true);
      const done = visit(bytes(pointer, length));
      total += done;
      if (done < length) break;
    }
    return total;
  };

  const wasi = {
    args_sizes_get(countOut, sizeOut) {
      view().setUint32(countOut, argv.length, true);
      view().setUint32(sizeOut, argv.reduce((sum, a) => sum + a.length, 0), true);
      return SUCCESS;
    },
    args_get(pointersOut, bufferOut) {
      for (const [i, arg] of argv.entries()) {
        view().setUint32(pointersOut + 4 * i, bufferOut, true);
        bytes(bufferOut, arg.length).set(arg);
        bufferOut += arg.length;
      }
      return SUCCESS;
    },
    // All three standard descriptors are a terminal: wasi-libc's isatty then
    // says so, and the game shows each line at once, the prompt before it
    // waits, as it does on a console.
    fd_fdstat_get(fd, statOut) {
      if (fd > 2) return BADF;
      const stat = view();
      stat.setUint8(statOut, FILETYPE_CHARACTER_DEVICE);
      stat.setUint16(statOut + 2, 0, true);
      stat.setBigUint64(statOut + 8, fd === 0 ? RIGHT_FD_READ : RIGHT_FD_WRITE, true);
      stat.setBigUint64(statOut + 16, 0n, true);
      return SUCCESS;
    },
    // Hands out at most one line a read, as a terminal does.
    fd_read(fd, iovs, count, readOut) {
      if (fd !== 0) return BADF;
      if (consumed === input.length && !inputEnded) throw WAITING;
      let lineEnd = input.indexOf(10, consumed);
      lineEnd = lineEnd < 0 ? input.length : lineEnd + 1;
      const start = consumed;
      const got = eachBuffer(iovs, count, (buffer) => {
        const piece = input.subarray(consumed, Math.min(lineEnd, consumed + buffer.length));
        buffer.set(piece);
        consumed += piece.length;
        return piece.length;
      });
      if (got > 0) reads.push({ at: stdout.length, bytes: input.slice(start, consumed) });
      view().setUint32(readOut, got, true);
      return SUCCESS;
    },
    fd_write(fd, iovs, count, writtenOut) {
      if (fd !== 1 && fd !== 2) return BADF;
      if (fd === 1 && failWrites) return failWrites;
      const sink = fd === 1 ? stdout : stderr;
      const written = eachBuffer(iovs, count, (buffer) => sink.add(buffer));
      view().setUint32(writtenOut, written, true);
      return SUCCESS;
    },
    fd_seek(fd) {
      return fd <= 2 ? SPIPE : BADF;
    },
    // Each subscription (48 bytes: userdata, then its kind at 8) gets an
    // event (32 bytes: userdata, error 0, the same kind at 10) at once.
    poll_oneoff(subscriptions, eventsOut, count, countOut) {
      const memory = view();
      for (let i = 0; i < count; i++) {
        const from = subscriptions + 48 * i;
        const to = eventsOut + 32 * i;
        new Uint8Array(memory.buffer, to, 32).fill(0);
        memory.setBigUint64(to, memory.getBigUint64(from, true), true);
        memory.setUint8(to + 10, memory.getUint8(from + 8));
      }
      memory.setUint32(countOut, count, true);
      return SUCCESS;
    },
    proc_exit(status) {
      throw new Stop(status);
    },
  };

  const instance = await WebAssembly.instantiate(module, { wasi_snapshot_preview1: wasi });
  memory = instance.exports.memory;
  let status = 0; // _start returns, without proc_exit, when main returns 0
  try {
    instance.exports._start();
  } catch (stop) {
    if (!(stop instanceof Stop)) throw stop; // a trap: a fault, not a game
    status = stop.status;
  }
  return { status, stdout: stdout.bytes(), stderr: stderr.bytes(), reads };
}

// A growing byte buffer: the game writes a line at a time.
class Sink {
  constructor() {
    this.buffer = new Uint8Array(4096);
    this.length = 0;
  }
  add(piece) {
    if (this.length + piece.length > this.buffer.length) {
      const larger = new Uint8Array(2 * (this.length + piece.length));
      larger.set(this.buffer.subarray(0, this.length));
      this.buffer = larger;
    }
    this.buffer.set(piece, this.length);
    this.length += piece.length;
    return piece.length;
  }
  bytes() {
    return this.buffer.slice(0, this.length);
  }
}
