// The JavaScript API of the module, the same in Node (require) and in the page's worker:
// run({edition or groupSize, data, seed, fileName, exportName, participants, items, onProgress})
// gives a Promise of {reports, exports, notes, programName}, or rejects with an Error worded as the
// programs word it; onProgress, where given, is called with the number of sets scored so far as
// the run goes. programName(groupSize) gives a Promise of the name of the program that runs
// groups of that size (the module's own words: "Quorvane-Triads", "Quorvane-Groups").
(function (global) {
  "use strict";

  const groupSizes = { pairs: 2, triads: 3, quads: 4 };
  const largestSeed = 4294967295;
  let instance = null;

  function refuse(message) {
    return Promise.reject(new Error(message));
  }

  function shown(value) {
    return "'" + String(value) + "'";
  }

  function bytesOf(data) {
    if (typeof data === "string") return new TextEncoder().encode(data);
    if (data instanceof Uint8Array) return data;
    if (data instanceof ArrayBuffer) return new Uint8Array(data);
    if (ArrayBuffer.isView(data)) return new Uint8Array(data.buffer, data.byteOffset, data.byteLength);
    return null;
  }

  // A text copied into the module's memory, or 0 (a null pointer) for none.
  function textIn(module, text, allocated) {
    if (text === undefined || text === null) return 0;
    const value = String(text);
    const size = module.lengthBytesUTF8(value) + 1;
    const pointer = module._malloc(size);
    allocated.push(pointer);
    module.stringToUTF8(value, pointer, size);
    return pointer;
  }

  // The records of module_main's outcome (web/outcome_bytes.h).
  function readOutcome(bytes) {
    const decoder = new TextDecoder("utf-8");
    const outcome = { error: null, notes: [], reports: {}, exports: {} };
    let at = 0;
    const text = (raw) => {
      const length = (bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) | (bytes[at + 3] << 24)) >>> 0;
      const part = bytes.subarray(at + 4, at + 4 + length);
      at += 4 + length;
      return raw ? part.slice() : decoder.decode(part);
    };
    while (at < bytes.length) {
      const kind = String.fromCharCode(bytes[at++]);
      const name = text(false);
      // The workbook is a zip: its bytes, not a text.
      const value = text(kind === "X" && name.endsWith(".xlsx"));
      if (kind === "E") outcome.error = value;
      else if (kind === "N") outcome.notes.push(value);
      else if (kind === "R") outcome.reports[name] = value;
      else if (kind === "X") outcome.exports[name] = value;
    }
    return outcome;
  }

  function answer(value, what) {
    if (value === undefined || value === null) return { value: null };
    if (typeof value !== "number" && typeof value !== "string") {
      return { error: what + " must be a number, as typed at the prompt" };
    }
    return { value: String(value) };
  }

  function theModule() {
    if (instance === null) instance = createQuorvaneModule();
    return instance;
  }

  // The program of a group size, or null for a size no program takes.
  function programOf(module, groupSize) {
    if (!Number.isInteger(groupSize)) return null;
    const pointer = module._quorvane_program_name(groupSize);
    return pointer === 0 ? null : module.UTF8ToString(pointer);
  }

  function groupSizeRefused(groupSize) {
    return "the group size must be a whole number from 2 to 5000; found " + shown(groupSize);
  }

  function programName(groupSize) {
    return theModule().then((module) => {
      const name = programOf(module, groupSize);
      if (name === null) throw new Error(groupSizeRefused(groupSize));
      return name;
    });
  }

  function run(options) {
    const request = options || {};
    // groupSize: K runs groups of K, as Quorvane-Groups --group-size K; edition names one of the
    // three sizes of the editions.
    let groupSize = request.groupSize;
    if (request.edition !== undefined || groupSize === undefined) {
      const size = groupSizes[request.edition];
      if (size === undefined) {
        return refuse("the edition must be \"pairs\", \"triads\" or \"quads\" (or give groupSize instead); found " + shown(request.edition));
      }
      if (groupSize !== undefined && groupSize !== size) {
        return refuse("the edition " + shown(request.edition) + " has groups of " + size + ", not " + shown(groupSize) + ": give one of them");
      }
      groupSize = size;
    }
    if (!Number.isInteger(groupSize)) return refuse(groupSizeRefused(groupSize));
    const seed = request.seed;
    if (typeof seed !== "number" || !Number.isInteger(seed) || seed < 0 || seed > largestSeed) {
      return refuse("the seed must be a whole number from 0 to " + largestSeed + "; found " + shown(seed));
    }
    const data = bytesOf(request.data);
    if (data === null) return refuse("the data must be the file's bytes (a Uint8Array) or its text");
    const exportName = request.exportName;
    if (exportName !== undefined && exportName !== null) {
      if (String(exportName) === "") return refuse("the export name is empty: give the start of the files' names");
      if (/[\x00-\x1f]/.test(String(exportName))) {
        return refuse("the export name " + shown(exportName) +
                      " holds a control character (a line break or tab); give a plain name");
      }
    }
    const participants = answer(request.participants, "participants");
    if (participants.error) return refuse(participants.error);
    const items = answer(request.items, "items");
    if (items.error) return refuse(items.error);
    const fileName = request.fileName === undefined ? "data.txt" : String(request.fileName);

    const onProgress = typeof request.onProgress === "function" ? request.onProgress : null;
    return theModule().then((module) => {
      const allocated = [];
      module.onSetsScored = onProgress;
      try {
        const program = programOf(module, groupSize);
        if (program === null) throw new Error(groupSizeRefused(groupSize));
        const dataPointer = module._malloc(Math.max(data.length, 1));
        allocated.push(dataPointer);
        module.HEAPU8.set(data, dataPointer);
        const outcomePointer = module._quorvane_run(
          groupSize, dataPointer, data.length, seed >>> 0, textIn(module, fileName, allocated),
          textIn(module, exportName, allocated), textIn(module, participants.value, allocated),
          textIn(module, items.value, allocated));
        const size = module._quorvane_outcome_size();
        const outcome = readOutcome(module.HEAPU8.slice(outcomePointer, outcomePointer + size));
        module._quorvane_release_outcome();
        if (outcome.error !== null) throw new Error(outcome.error);
        return { reports: outcome.reports, exports: outcome.exports, notes: outcome.notes, programName: program };
      } catch (failure) {
        if (!(failure instanceof WebAssembly.RuntimeError)) throw failure;
        // The module stopped (its memory ran out, or a fault): the next run starts a new one.
        instance = null;
        throw new Error("the run stopped on an unexpected failure: " + failure.message);
      } finally {
        module.onSetsScored = null;
        if (instance !== null) for (const pointer of allocated) module._free(pointer);
      }
    });
  }

  const api = { run, programName };
  if (typeof module === "object" && module.exports) module.exports = api;
  if (global) global.quorvane = api;
})(typeof self !== "undefined" ? self : null);
